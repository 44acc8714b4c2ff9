#include "practice/strumenti.h"

#include "app/core/helptopics.h"
#include "app/filedialogs.h"
#include "app/help.h"
#include "app/look.h"
#include "app/messages.h"
#include "app/registry.h"
#include "storage/archive.h"
#include "storage/clock.h"
#include "storage/inifile.h"
#include "storage/programfolder.h"
#include "storage/text.h"
#include "practice/core/archivecheck.h"
#include "practice/core/backup.h"
#include "practice/core/expiring.h"
#include "practice/expiringwindow.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLocale>
#include <QProgressDialog>
#include <QShowEvent>
#include <QStandardPaths>

using namespace vornel;
using vornel::look::named;

namespace {

const QString kSection = QStringLiteral("Copia di sicurezza");
const QString kFolderKey = QStringLiteral("Cartella");
const QString kWhenKey = QStringLiteral("Ultima copia");
const QString kFileKey = QStringLiteral("Ultimo file");

IniFile settings()
{
    return IniFile(programPath(QStringLiteral("Studio_Medico_Vrn.ini")));
}

// Remembering is a convenience: a settings file that cannot be written does
// not spoil a copy that was made.
void remember(const QString& key, const QString& value)
{
    try {
        settings().write(kSection, key, value);
    } catch (const IniWriteError&) {
    }
}

QString sizeText(qint64 bytes)
{
    const QLocale it(QLocale::Italian);
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg(it.toString(double(bytes) / 1024.0, 'f', 1));
    if (bytes < qint64(1024) * 1024 * 1024)
        return QStringLiteral("%1 MB").arg(it.toString(double(bytes) / (1024.0 * 1024.0), 'f', 1));
    return QStringLiteral("%1 GB").arg(it.toString(double(bytes) / (1024.0 * 1024.0 * 1024.0), 'f', 2));
}

QString dateText(const QDateTime& when)
{
    return QStringLiteral("%1 alle %2").arg(clock::shortDate(when.date()), when.time().toString(QStringLiteral("HH:mm")));
}

// "1 paziente e 3 certificati": what a copy holds, singular where it is one.
QString heldText(qint64 patients, qint64 certificates)
{
    auto count = [](qint64 n, const char* one, const char* many) {
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    return count(patients, "paziente", "pazienti") + QStringLiteral(" e ")
        + count(certificates, "certificato", "certificati");
}

// What is wrong with a copy, as a warning; 'lead' opens the warning about a
// copy of this program that is damaged.
QString refusal(const backup::VerifyReport& r, const QString& lead)
{
    if (!r.readable)
        return QStringLiteral("Attenzione: il file scelto non \u00e8 un archivio ZIP leggibile: la copia \u00e8 danneggiata.");
    if (!r.vornelCopy)
        return QStringLiteral("Attenzione: il file scelto non \u00e8 una copia di sicurezza di Vornel.");
    if (r.wrongPassword || r.needsPassword)
        return QStringLiteral("Attenzione: la password non \u00e8 corretta.");
    return lead + QStringLiteral("\r\n\r\n") + r.problems();
}

// Long work under a progress dialog with Annulla, shown only when the work
// takes a while.
template <class Work>
auto withProgress(QWidget* parent, Work work)
{
    QProgressDialog dialog(parent);
    dialog.setObjectName(QStringLiteral("dlgAvanzamento"));
    dialog.setWindowTitle(QStringLiteral(" Strumenti di Vornel"));
    dialog.setCancelButtonText(QStringLiteral("Annulla"));
    dialog.setRange(0, 1000);
    dialog.setMinimumDuration(500);
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumWidth(420);
    dialog.setValue(0);
    const backup::Progress progress = [&dialog](const QString& phase, qint64 done, qint64 total) {
        if (dialog.labelText() != phase)
            dialog.setLabelText(phase);
        dialog.setValue(total > 0 ? int(qMin<qint64>(1000, done * 1000 / total)) : 0);
        // Until the dialog shows, nothing the user does may start other work.
        QCoreApplication::processEvents(dialog.isVisible() ? QEventLoop::AllEvents
                                                           : QEventLoop::ExcludeUserInputEvents);
        return !dialog.wasCanceled();
    };
    QApplication::setOverrideCursor(Qt::BusyCursor);
    auto result = work(progress);
    QApplication::restoreOverrideCursor();
    return result;
}

QPushButton* dialogButton(const QString& caption, const char* name, const QRect& r, QWidget* parent)
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setGeometry(r);
    b->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    b->setCursor(Qt::PointingHandCursor);
    return b;
}

constexpr int kRowTop = 86;
constexpr int kRowStep = 62;
constexpr int kRows = 6; // five tools now, room for one more

} // namespace

// --- TfrmStrumenti ----------------------------------------------------------------

int TfrmStrumenti::freeRowTop()
{
    return kRowTop + 5 * kRowStep;
}

QPushButton* TfrmStrumenti::toolRow(int row, const char* art, const QString& caption, const char* name,
                                    QLabel*& description, const QString& text)
{
    const int top = kRowTop + row * kRowStep;
    auto* b = named(new PictureButton(QLatin1String(art), caption, QSize(250, 46), this), name);
    b->move(24, top);
    b->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    description = new QLabel(text, this);
    description->setGeometry(290, top, 346, 46);
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    description->setFont(look::font(QStringLiteral("Tahoma"), 9));
    description->setStyleSheet(QStringLiteral("color: #1F3F6B;"));
    return b;
}

TfrmStrumenti::TfrmStrumenti(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Strumenti di Vornel"));
    const int height = kRowTop + kRows * kRowStep + 150;
    look::makeFixed(this, 660, height);
    look::setGradient(this, look::kSteelBlue, Qt::white);
    clock::applyProgramFormats();

    // The background under every control: the pointer over it clears the hint.
    auto* background = named(new QWidget(this), "panSfondo");
    background->setGeometry(0, 0, 660, height);

    auto* band = new QWidget(this);
    band->setGeometry(12, 12, 636, 60);
    look::setBand(band, Qt::white, QColor(0xB0, 0xC4, 0xDE));
    auto* icon = new QLabel(band);
    icon->setGeometry(14, 15, 29, 28);
    icon->setPixmap(look::picture(QStringLiteral("icon_strumenti"), QSize(29, 28)));
    auto* title = new QLabel(QStringLiteral("Strumenti di Vornel"), band);
    title->setGeometry(56, 6, 560, 28);
    title->setFont(look::font(QStringLiteral("Arial"), 16, true));
    title->setStyleSheet(QStringLiteral("color: #1F3F6B;"));
    auto* subtitle = new QLabel(QStringLiteral("Copie di sicurezza dei dati dello studio e controllo degli archivi"), band);
    subtitle->setGeometry(56, 34, 560, 20);
    subtitle->setFont(look::font(QStringLiteral("Tahoma"), 9));
    subtitle->setStyleSheet(QStringLiteral("color: #427AA8;"));

    auto* rows = new QWidget(this);
    rows->setObjectName(QStringLiteral("panStrumenti"));
    rows->setGeometry(12, kRowTop - 8, 636, kRows * kRowStep + 4);
    look::setBand(rows, QColor(255, 255, 255, 170), QColor(0x9F, 0xB6, 0xCD));
    rows->lower();

    cmdCopia = toolRow(0, "btn_copia", QStringLiteral("Crea copia di sicurezza"), "cmdCopia", lblCopia,
                       QStringLiteral("Archivi, impostazioni, password e documenti in un file ZIP, riletto e verificato."));
    lblCopia->setGeometry(290, kRowTop, 346, 26);
    chkPassword = named(new QCheckBox(QStringLiteral("Proteggi la copia con una password"), this), "chkPassword");
    chkPassword->setGeometry(290, kRowTop + 26, 346, 22);
    chkPassword->setFont(look::font(QStringLiteral("Tahoma"), 9, true));
    chkPassword->setStyleSheet(QStringLiteral("color: #1F3F6B;"));
    chkPassword->setCursor(Qt::PointingHandCursor);
    cmdVerifica = toolRow(1, "btn_controlla", QStringLiteral("Verifica una copia"), "cmdVerifica", lblVerifica,
                          QStringLiteral("Rilegge una copia e dice se \u00e8 integra o quali file sono danneggiati."));
    cmdRipristina = toolRow(2, "btn_ripristina", QStringLiteral("Ripristina da una copia"), "cmdRipristina",
                            lblRipristina,
                            QStringLiteral("Riporta i dati allo stato di una copia integra, dopo aver salvato quelli attuali."));
    cmdControlla = toolRow(3, "btn_archivi", QStringLiteral("Controlla gli archivi"), "cmdControlla", lblControlla,
                           QStringLiteral("Legge i cinque archivi senza modificarli e ne elenca i problemi."));
    cmdScadenze = toolRow(4, "btn_scadenze", QStringLiteral("Certificati in scadenza"), "cmdScadenze", lblScadenze,
                          QString());
    lblScadenze->setObjectName(QStringLiteral("lblScadenze"));
    lblScadenze->setFont(look::font(QStringLiteral("Tahoma"), 9, true));

    const int below = kRowTop + kRows * kRowStep;
    lblUltimaCopia = named(new QLabel(this), "lblUltimaCopia");
    lblUltimaCopia->setGeometry(12, below + 6, 636, 52);
    lblUltimaCopia->setWordWrap(true);
    lblUltimaCopia->setTextFormat(Qt::PlainText);
    lblUltimaCopia->setFont(look::font(QStringLiteral("Tahoma"), 9, true));
    lblUltimaCopia->setContentsMargins(8, 4, 8, 4);
    lblUltimaCopia->setStyleSheet(QStringLiteral("color: #1F3F6B; background: #F0F8FF; border: 1px solid #87CEEB;"));

    cmdGuida = named(new PictureButton(QStringLiteral("btn_guida"), QStringLiteral("Guida"), QSize(130, 36), this), "cmdGuida");
    cmdGuida->move(12, below + 68);
    cmdEsci = named(new PictureButton(QStringLiteral("btn_esci"), QStringLiteral("Esci"), QSize(130, 36), this), "cmdEsci");
    cmdEsci->move(660 - 12 - 130, below + 68);

    auto* strip = new QWidget(this);
    strip->setGeometry(0, height - 30, 660, 30);
    strip->setStyleSheet(QStringLiteral("background: #1F3F6B;"));
    strip->setAttribute(Qt::WA_StyledBackground, true);
    panInfo = named(new QLabel(strip), "panInfo");
    panInfo->setGeometry(10, 0, 640, 30);
    panInfo->setFont(look::font(QStringLiteral("Tahoma"), 10));
    panInfo->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    panInfo->setTextFormat(Qt::PlainText);

    m_hints = new HintTracker(panInfo, this);
    m_hints->setHint(cmdCopia, QStringLiteral("Crea una copia di sicurezza di tutti i dati e la verifica."));
    m_hints->setHint(chkPassword, QStringLiteral("Cifra la copia con una password (AES-256) che non viene salvata."));
    m_hints->setHint(cmdVerifica, QStringLiteral("Controlla che una copia di sicurezza sia integra."));
    m_hints->setHint(cmdRipristina, QStringLiteral("Sostituisce i dati attuali con quelli di una copia di sicurezza."));
    m_hints->setHint(cmdControlla, QStringLiteral("Controlla gli archivi e ne mostra il resoconto, da stampare."));
    m_hints->setHint(cmdScadenze, QStringLiteral("Elenca i certificati agonistici che stanno per scadere, per "
                                                 "richiamare gli atleti."));
    m_hints->setHint(cmdGuida, QStringLiteral("Mostra la guida degli strumenti."));
    m_hints->setHint(cmdEsci, QStringLiteral("Chiude la finestra degli strumenti."));
    m_hints->clearOn(background);
    m_hints->clearOn(rows);
    m_hints->clearOn(band);

    connect(cmdCopia, &QPushButton::clicked, this, &TfrmStrumenti::cmdCopiaClick);
    connect(cmdVerifica, &QPushButton::clicked, this, &TfrmStrumenti::cmdVerificaClick);
    connect(cmdRipristina, &QPushButton::clicked, this, &TfrmStrumenti::cmdRipristinaClick);
    connect(cmdControlla, &QPushButton::clicked, this, &TfrmStrumenti::cmdControllaClick);
    connect(cmdScadenze, &QPushButton::clicked, this, &TfrmStrumenti::cmdScadenzeClick);
    connect(cmdGuida, &QPushButton::clicked, this, &TfrmStrumenti::cmdGuidaClick);
    connect(cmdEsci, &QPushButton::clicked, this, &TfrmStrumenti::cmdEsciClick);
    look::centreOnScreen(this);
}

void TfrmStrumenti::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous())
        FormShow();
}

void TfrmStrumenti::FormShow()
{
    showLastCopy();
    showExpiring();
}

void TfrmStrumenti::showExpiring()
{
    // Said in the label, not in a box: the window must open all the same,
    // for instance to restore the archives from a copy.
    try {
        lblScadenze->setText(
            expiring::summarySentence(expiring::countExpiring(expiring::readCertificates(), clock::today(), 30)));
    } catch (const ArchiveError&) {
        lblScadenze->setText(QStringLiteral("Impossibile leggere gli archivi dei certificati agonistici."));
    }
}

void TfrmStrumenti::showLastCopy()
{
    const IniFile ini = settings();
    const QString when = ini.read(kSection, kWhenKey);
    const QString file = ini.read(kSection, kFileKey);
    if (file.isEmpty()) {
        lblUltimaCopia->setText(QStringLiteral("Nessuna copia di sicurezza eseguita."));
        return;
    }
    lblUltimaCopia->setText(QStringLiteral("Ultima copia di sicurezza verificata: %1\n%2")
                                .arg(when, QDir::toNativeSeparators(file)));
}

bool TfrmStrumenti::askPassword(const QString& zip, QString& password)
{
    password.clear();
    if (!backup::isEncrypted(zip))
        return true;
    TfrmPasswordCopia dialog(false, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    password = dialog.password();
    return true;
}

QString TfrmStrumenti::chooseCopy(const QString& caption)
{
    QString folder = settings().read(kSection, kFolderKey);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    return dialogs::getOpenFileName(this, caption, folder, QStringLiteral("Copie di sicurezza di Vornel (*.zip)"));
}

void TfrmStrumenti::cmdCopiaClick()
{
    QString start = settings().read(kSection, kFolderKey);
    if (start.isEmpty() || !QFileInfo(start).isDir())
        start = QStandardPaths::writableLocation(QStandardPaths::HomeLocation);
    const QString folder = dialogs::getExistingDirectory(
        this, QStringLiteral("Scegliere la cartella in cui creare la copia di sicurezza"), start);
    if (trimmed(folder).isEmpty())
        return;
    if (backup::isInsideFolder(folder, programFolder())
        && !msg::confirm(this, QStringLiteral(
                                   "Attenzione: la cartella scelta si trova nella cartella del programma, sullo "
                                   "stesso disco dei dati.\r\n\r\nUna copia sullo stesso disco non protegge dalla "
                                   "perdita o dal guasto del disco: \u00e8 meglio una chiavetta USB, un disco "
                                   "esterno o una cartella di rete.\r\n\r\nSi vuole creare la copia in questa "
                                   "cartella comunque?")))
        return;
    QString password;
    if (chkPassword->isChecked()) {
        TfrmPasswordCopia dialog(true, this);
        if (dialog.exec() != QDialog::Accepted)
            return;
        password = dialog.password();
    }
    remember(kFolderKey, QDir::toNativeSeparators(folder));

    const QDateTime now = clock::now();
    const QString zip = QDir(folder).filePath(backup::copyFileName(folder, QLatin1String(backup::kCopyPrefix), now));
    const backup::CopyResult result = withProgress(this, [&](const backup::Progress& progress) {
        return backup::createCopy(programFolder(), zip, password, progress);
    });
    switch (result.outcome) {
    case backup::Outcome::Done:
        remember(kWhenKey, dateText(now));
        remember(kFileKey, QDir::toNativeSeparators(zip));
        showLastCopy();
    {
        QString text = QStringLiteral("Copia di sicurezza creata e verificata.\r\n\r\nFile copiati: %1\r\n"
                                      "Dimensione: %2\r\nPercorso: %3")
                           .arg(result.fileCount)
                           .arg(sizeText(result.zipSize), QDir::toNativeSeparators(zip));
        if (!result.links.isEmpty())
            text += QStringLiteral("\r\n\r\nCollegamenti seguiti, copiati come cartelle e file normali: %1.")
                        .arg(result.links.join(QStringLiteral(", ")));
        if (!result.brokenLinks.isEmpty())
            text += QStringLiteral("\r\n\r\nCollegamenti che non portano a nessun file, non copiati: %1.")
                        .arg(result.brokenLinks.join(QStringLiteral(", ")));
        msg::information(this, text);
    }
        break;
    case backup::Outcome::Cancelled:
        msg::information(this, QStringLiteral("Copia di sicurezza annullata: nella cartella scelta non \u00e8 "
                                              "rimasto nessun file."));
        break;
    case backup::Outcome::Failed:
        msg::error(this, QStringLiteral("Attenzione: non \u00e8 stato possibile creare la copia di sicurezza.\r\n\r\n"
                                        "%1\r\n\r\nNella cartella scelta non \u00e8 rimasto nessun file.")
                             .arg(result.detail));
        break;
    }
}

bool TfrmStrumenti::chooseAndVerify(const QString& caption, QString& zip, QString& password,
                                    backup::VerifyReport& report)
{
    zip = chooseCopy(caption);
    if (zip.isEmpty() || !askPassword(zip, password))
        return false;
    report = withProgress(this, [&](const backup::Progress& progress) {
        return backup::verifyCopy(zip, password, progress);
    });
    return !report.cancelled;
}

void TfrmStrumenti::cmdVerificaClick()
{
    QString zip, password;
    backup::VerifyReport report;
    if (!chooseAndVerify(QStringLiteral("Scegliere la copia di sicurezza da verificare"), zip, password, report))
        return;
    if (report.whole()) {
        const backup::Manifest& m = report.manifest;
        msg::information(this, QStringLiteral("La copia di sicurezza \u00e8 integra.\r\n\r\nCopia del %1: %2 file, "
                                              "%3.")
                                   .arg(dateText(m.date))
                                   .arg(m.files.size())
                                   .arg(heldText(m.patients(), m.certificates())));
        return;
    }
    msg::warning(this, refusal(report, QStringLiteral("Attenzione: la copia di sicurezza non \u00e8 integra.")));
}

void TfrmStrumenti::cmdRipristinaClick()
{
    QString zip, password;
    backup::VerifyReport report;
    if (!chooseAndVerify(QStringLiteral("Scegliere la copia di sicurezza da ripristinare"), zip, password, report))
        return;
    if (!report.whole()) {
        msg::warning(this, refusal(report, QStringLiteral("Attenzione: la copia non pu\u00f2 essere ripristinata.")));
        return;
    }
    const QDateTime now = clock::now();
    const QString before = QDir(programFolder()).filePath(
        backup::copyFileName(programFolder(), QLatin1String(backup::kBeforeRestorePrefix), now));
    const backup::Manifest& m = report.manifest;
    if (!msg::confirm(this, QStringLiteral("Ripristinare la copia di sicurezza del %1?\r\n\r\nLa copia contiene %2."
                                           "\r\n\r\nGli archivi, le impostazioni e i documenti della copia "
                                           "sostituiranno quelli attuali; prima i file attuali saranno salvati nella "
                                           "copia \"%3\" nella cartella del programma.")
                                .arg(dateText(m.date), heldText(m.patients(), m.certificates()),
                                     QFileInfo(before).fileName())))
        return;
    // Writing through a link puts files outside the program folder: only
    // when the user agrees.
    for (const backup::LinkedFolder& link : backup::linkedFoldersOnTheWay(programFolder(), m))
        if (!msg::confirm(this, QStringLiteral("Attenzione: nella cartella del programma, %1 \u00e8 un collegamento "
                                               "a %2, fuori dalla cartella del programma.\r\n\r\nIl ripristino "
                                               "scriver\u00e0 i file della copia in quella posizione. Continuare?")
                                    .arg(QDir::toNativeSeparators(link.path), link.target)))
            return;
        // Where and when copies were made belongs to this installation, not to
    // the data: the restored settings file keeps what it says now.
    QStringList history;
    for (const QString& key : {kFolderKey, kWhenKey, kFileKey})
        history << settings().read(kSection, key);
    const backup::RestoreResult result = withProgress(this, [&](const backup::Progress& progress) {
        return backup::restoreCopy(programFolder(), zip, password, before, progress, &report);
    });
    switch (result.outcome) {
    case backup::Outcome::Done:
        if (!history.join(QString()).isEmpty()) {
            remember(kFolderKey, history[0]);
            remember(kWhenKey, history[1]);
            remember(kFileKey, history[2]);
        }
        showLastCopy();
        msg::information(this, QStringLiteral("Ripristino completato e verificato.\r\n\r\nI file com'erano prima del "
                                              "ripristino sono nella copia \"%1\" nella cartella del programma.")
                                   .arg(QFileInfo(before).fileName()));
        break;
    case backup::Outcome::Cancelled:
        msg::information(this, QStringLiteral("Ripristino annullato: i file del programma sono rimasti com'erano."));
        break;
    case backup::Outcome::Failed:
        msg::error(this, result.beforeRestoreZip.isEmpty()
                             ? QStringLiteral("Attenzione: il ripristino non \u00e8 riuscito.\r\n\r\n%1\r\n\r\nI file "
                                              "del programma sono rimasti com'erano.")
                                   .arg(result.detail)
                             : QStringLiteral("Attenzione: il ripristino non \u00e8 riuscito.\r\n\r\n%1").arg(result.detail));
        break;
    }
}

void TfrmStrumenti::cmdControllaClick()
{
    TfrmControllaArchivi dialog(this);
    dialog.exec();
}

void TfrmStrumenti::cmdScadenzeClick()
{
    // A certificate chosen in the list closes this window too and its card
    // takes the place of the main menu.
    if (!expiring::openList(this, [this] { done(QDialog::Accepted); }))
        showExpiring();
}

void TfrmStrumenti::cmdGuidaClick()
{
    TfrmGuida::showTopic(this, help::tools());
}

void TfrmStrumenti::cmdEsciClick()
{
    close();
}

// --- TfrmPasswordCopia --------------------------------------------------------------

TfrmPasswordCopia::TfrmPasswordCopia(bool twice, QWidget* parent) : QDialog(parent), m_twice(twice)
{
    setWindowTitle(QStringLiteral(" Password della copia di sicurezza"));
    look::makeFixed(this, 420, twice ? 236 : 176);
    look::setGradient(this, look::kSteelBlue, Qt::white);

    lblIstruzioni = named(new QLabel(this), "lblIstruzioni");
    lblIstruzioni->setGeometry(16, 10, 388, 54);
    lblIstruzioni->setWordWrap(true);
    lblIstruzioni->setFont(look::font(QStringLiteral("Tahoma"), 9, true));
    lblIstruzioni->setStyleSheet(QStringLiteral("color: white;"));
    lblIstruzioni->setText(twice ? QStringLiteral("Digitare due volte la password che protegge la copia. La password "
                                                  "non viene salvata: senza di essa la copia non si pu\u00f2 aprire.")
                                 : QStringLiteral("La copia \u00e8 protetta da una password: digitarla per aprirla."));
    auto* label = new QLabel(QStringLiteral("Password:"), this);
    label->setGeometry(16, 72, 388, 20);
    label->setFont(look::font(QStringLiteral("Verdana"), 9, true));
    txtPassword = named(new QLineEdit(this), "txtPassword");
    txtPassword->setGeometry(16, 94, 388, 28);
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setFont(look::font(QStringLiteral("Verdana"), 11));
    look::setFieldLook(txtPassword);
    lblConferma = named(new QLabel(QStringLiteral("Conferma password:"), this), "lblConferma");
    lblConferma->setGeometry(16, 130, 388, 20);
    lblConferma->setFont(look::font(QStringLiteral("Verdana"), 9, true));
    txtConferma = named(new QLineEdit(this), "txtConferma");
    txtConferma->setGeometry(16, 152, 388, 28);
    txtConferma->setEchoMode(QLineEdit::Password);
    txtConferma->setFont(look::font(QStringLiteral("Verdana"), 11));
    look::setFieldLook(txtConferma);
    lblConferma->setVisible(twice);
    txtConferma->setVisible(twice);

    const int buttons = twice ? 194 : 134;
    btnOK = dialogButton(QStringLiteral("OK"), "btnOK", QRect(190, buttons, 100, 30), this);
    btnAnnulla = dialogButton(QStringLiteral("Annulla"), "btnAnnulla", QRect(304, buttons, 100, 30), this);
    btnOK->setAutoDefault(false);
    btnAnnulla->setAutoDefault(false);
    // No default button, so Enter in a field never submits; Enter on a
    // focused button presses it, as Space does.
    look::pressOnEnter({btnOK, btnAnnulla});
    txtPassword->installEventFilter(this);
    txtConferma->installEventFilter(this);

    connect(btnOK, &QPushButton::clicked, this, &TfrmPasswordCopia::btnOKClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &QDialog::reject);
    look::centreOnOwner(this, parent);
    txtPassword->setFocus();
}

bool TfrmPasswordCopia::eventFilter(QObject* watched, QEvent* event)
{
    // Enter moves to the next field, as in every data field of the program.
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QLineEdit* next = (watched == txtPassword && m_twice) ? txtConferma : txtPassword;
            next->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmPasswordCopia::btnOKClick()
{
    if (txtPassword->text().isEmpty()) {
        msg::warning(this, QStringLiteral("Attenzione: digitare la password della copia di sicurezza."));
        txtPassword->setFocus();
        return;
    }
    if (m_twice && txtPassword->text() != txtConferma->text()) {
        msg::warning(this, QStringLiteral("Attenzione: le due password non coincidono.\r\n\r\nDigitarle di nuovo."));
        txtPassword->clear();
        txtConferma->clear();
        txtPassword->setFocus();
        return;
    }
    accept();
}

// --- TfrmControllaArchivi -----------------------------------------------------------

TfrmControllaArchivi::TfrmControllaArchivi(QWidget* parent)
    : ListWindow(QStringLiteral(" Controllo archivi"), parent)
{
    setBanner(QStringLiteral("Controllo degli archivi"));
    lblRigo03->setText(QStringLiteral("Gli archivi sono stati soltanto letti: nessun dato \u00e8 stato modificato."));
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const QStringList lines = archivecheck::reportLines(archivecheck::checkArchives(programFolder()));
    QApplication::restoreOverrideCursor();
    setLines(lines);
    setListFont(12);
    setRowWidth(780);
    lblTrovate->setText(QStringLiteral("Archivi controllati: 5"));
}

QString TfrmControllaArchivi::printTitle() const
{
    return QStringLiteral("Controllo archivi");
}
