#pragma once
#include <QStringList>

// The fixed rows of the two sport discipline tables, in the order the tables
// add them (the tables show them sorted).
namespace vornel::sport {

// 178 disciplines of competitive sport.
const QStringList& generalRows();
// 31 disciplines of competitive sport for disabled athletes.
const QStringList& disabledRows();

} // namespace vornel::sport
