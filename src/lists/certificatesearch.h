#pragma once
#include "lists/recordwindows.h"


// The certificate searches, one per kind: six filters, the lines in file
// order, a double-click loads the certificate into its card.
class TfrmTrovaCertificati : public SearchWindow {
    Q_OBJECT
public:
    explicit TfrmTrovaCertificati(QWidget* parent);
};
class TfrmTrovaCertificatiNon : public SearchWindow {
    Q_OBJECT
public:
    explicit TfrmTrovaCertificatiNon(QWidget* parent);
};
class TfrmTrovaCertificatiAgo : public SearchWindow {
    Q_OBJECT
public:
    explicit TfrmTrovaCertificatiAgo(QWidget* parent);
};
class TfrmTrovaCertificatiDis : public SearchWindow {
    Q_OBJECT
public:
    explicit TfrmTrovaCertificatiDis(QWidget* parent);
};

// The certificates to complete (flag "No"), one list per kind, sorted.
class TfrmSelezionate : public FlaggedListWindow {
    Q_OBJECT
public:
    explicit TfrmSelezionate(QWidget* parent);
};
class TfrmSelezionateNon : public FlaggedListWindow {
    Q_OBJECT
public:
    explicit TfrmSelezionateNon(QWidget* parent);
};
class TfrmSelezionateAgo : public FlaggedListWindow {
    Q_OBJECT
public:
    explicit TfrmSelezionateAgo(QWidget* parent);
};
class TfrmSelezionateDis : public FlaggedListWindow {
    Q_OBJECT
public:
    explicit TfrmSelezionateDis(QWidget* parent);
};

namespace vornel::lists {
// Opens the search of the card's kind, with the card's marker; returns
// when it has closed.
void openCertificateSearch(QWidget* card, const ArchiveDef& archive, const char* marker);
// Opens the list of certificates to complete of the card's kind.
void openCertificatesToComplete(QWidget* card, const ArchiveDef& archive);
} // namespace vornel::lists
