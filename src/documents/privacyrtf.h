#pragma once
#include <QByteArray>
#include <QList>
#include <QString>

// The privacy consent document: an RTF file in Windows-1252 made of fixed
// pieces with the office's, the patient's and the controller's data inserted.
namespace vornel::privacyrtf {

// The values of the privacy window's fields, named as its controls.
struct Values {
    QString txtStudioDent, txtTelDent, txtIvaDent, txtCodFiscDent, txtCittaDent, txtProvDent,
        txtIndirizzoDent, txtCapDent;
    QString txtPaziente, txtComuneNasc, txtProvNasc, txtDataNasc, txtCodFisc, txtComuneRes,
        txtProvRes, txtIndirizzo, txtCapRes, txtRecapito, txtPrivacy;
    QString txtData, txtLuogo;
};

// A value as it goes into the document: trimmed, '\', '{' and '}' escaped so
// they cannot change the document's structure, characters Windows-1252 lacks
// written as RTF Unicode escapes; any other character is its Windows-1252 byte.
QByteArray insertValue(const QString& value);

// The 50 pieces of the document, in order.
QList<QByteArray> pieces(const Values& values);
// The whole document: the pieces one after the other, nothing between them.
QByteArray document(const Values& values);

} // namespace vornel::privacyrtf
