#include "patients/attachments.h"

#include "app/filedialogs.h"
#include "app/look.h"
#include "app/messages.h"
#include "app/registry.h"
#include "app/shell.h"
#include "patients/core/attachmentnames.h"
#include "patients/tfrmclienti.h"
#include "storage/clock.h"
#include "storage/filelayer.h"
#include "storage/programfolder.h"
#include "storage/text.h"

#include <QDir>
#include <QFileInfo>

using namespace vornel;
using vornel::look::named;

namespace {

const QString kCardMarker = QStringLiteral("clienti");

// An instruction "picture": an icon beside a few lines of text on a tinted strip.
QWidget* instruction(QWidget* parent, const QRect& g, const QString& art, const QString& text)
{
    auto* strip = new QWidget(parent);
    strip->setGeometry(g);
    look::setBand(strip, QColor(0xEE, 0xF4, 0xFA), QColor(0xB7, 0xCD, 0xE3));
    const int iconSize = qMin(48, g.height() - 12);
    auto* icon = new QLabel(strip);
    icon->setGeometry(10, (g.height() - iconSize) / 2, iconSize, iconSize);
    icon->setPixmap(look::picture(art, QSize(iconSize, iconSize)));
    auto* label = new QLabel(text, strip);
    label->setGeometry(20 + iconSize, 4, g.width() - 30 - iconSize, g.height() - 8);
    label->setWordWrap(true);
    label->setFont(look::font(QStringLiteral("Verdana"), 9));
    label->setStyleSheet(QStringLiteral("color: #1F3F6B;"));
    return strip;
}

QPushButton* button(const QString& caption, const char* name, const QRect& g, QWidget* parent, const QString& art = {})
{
    auto* b = named(new QPushButton(caption, parent), name);
    b->setGeometry(g);
    b->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    b->setCursor(Qt::PointingHandCursor);
    // No default button; Enter on the focused button presses it, as Space does.
    b->setAutoDefault(false);
    look::pressOnEnter({b});
    if (!art.isEmpty()) {
        b->setIcon(QIcon(look::picture(art, QSize(20, 20))));
        b->setIconSize(QSize(20, 20));
    }
    return b;
}

QString copyFailedMessage()
{
    return QStringLiteral("Attenzione: non \u00e8 stato possibile copiare il file nella cartella dei documenti "
                          "allegati.\n\r\n\rAccertarsi di possedere i privilegi di scrittura nella cartella di "
                          "installazione del programma.");
}

} // namespace

// --- attach-files window ----------------------------------------------------

QString TfrmAllegaCartella::attachmentsFolder()
{
    return programPath(QStringLiteral("Documenti_Allegati"));
}

TfrmAllegaCartella::TfrmAllegaCartella(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Allega file"));
    look::makeFixed(this, 634, 534);
    look::setGradient(this, look::kSteelBlue, Qt::white);

    auto* panel = new QWidget(this);
    panel->setGeometry(12, 15, 609, 503);
    look::setBand(panel, QColor(0xE6, 0xEE, 0xF6), QColor(0x9D, 0xB9, 0xD5));
    auto* white = new QWidget(panel);
    white->setGeometry(8, 8, 593, 446);
    look::setBand(white, Qt::white, QColor(0xC8, 0xD6, 0xE4));

    instruction(white, QRect(8, 8, 577, 66), QStringLiteral("btn_allega"),
                QStringLiteral("Selezionare con il pulsante \"Sfoglia...\" i file da allegare alla scheda corrente, "
                               "quindi premere \"Applica e chiudi\" e poi \"Salva\" sulla scheda per memorizzare "
                               "le modifiche. Premere \"Apri\" per aprire un file allegato."));

    std::array<QLineEdit*, 3> fileEdits{}, descEdits{};
    std::array<ClickablePicture*, 3> emptyButtons{};
    std::array<QPushButton*, 3> browseButtons{}, openBtns{};
    static const char* const names[3][5] = {
        {"txtFile01", "imgCancella01", "btnSfoglia01", "btnApri01", "txtDesc01"},
        {"txtFile02", "imgCancella02", "btnSfoglia02", "btnApri02", "txtDesc02"},
        {"txtFile03", "imgCancella03", "btnSfoglia03", "btnApri03", "txtDesc03"},
    };
    for (int i = 0; i < 3; ++i) {
        auto* band = new QWidget(white);
        band->setGeometry(8, 82 + i * 120, 577, 113);
        look::setGradient(band, QColor(0xD2, 0xE4, 0xF5), QColor(0xF4, 0xF8, 0xFC));

        auto* nameLabel = new QLabel(QStringLiteral("Nome %1\u00b0 file allegato:").arg(i + 1), band);
        nameLabel->setGeometry(12, 5, 338, 18);
        nameLabel->setFont(look::font(QStringLiteral("Verdana"), 9, true));

        auto* file = named(new QLineEdit(band), names[i][0]);
        file->setGeometry(12, 24, 338, 28);
        file->setReadOnly(true);
        file->setFocusPolicy(Qt::NoFocus);
        file->setFont(look::font(QStringLiteral("Verdana"), 10, true));
        file->setStyleSheet(QStringLiteral("QLineEdit { color: #6E6E6E; background: #F2F2F2; border: 1px solid %1; }")
                                .arg(look::kSkyBlue.name()));

        auto* empty = named(new ClickablePicture(QStringLiteral("btn_svuota"), QSize(24, 24), band), names[i][1]);
        empty->move(355, 26);
        empty->setToolTip(QStringLiteral("Svuota il nome del file allegato"));

        auto* browse = button(QStringLiteral("Sfoglia..."), names[i][2], QRect(386, 23, 100, 30), band,
                              QStringLiteral("btn_sfoglia"));
        auto* open = button(QStringLiteral("Apri"), names[i][3], QRect(491, 23, 74, 30), band, QStringLiteral("btn_apri"));
        open->setEnabled(false);

        auto* descLabel = new QLabel(QStringLiteral("Descrizione %1\u00b0 file allegato:").arg(i + 1), band);
        descLabel->setGeometry(12, 56, 400, 18);
        descLabel->setFont(look::font(QStringLiteral("Verdana"), 9, true));

        auto* desc = named(new QLineEdit(band), names[i][4]);
        desc->setGeometry(12, 75, 552, 30);
        desc->setMaxLength(32767);
        desc->setFont(look::font(QStringLiteral("Verdana"), 12, true));
        look::setFieldLook(desc);

        fileEdits[i] = file;
        descEdits[i] = desc;
        emptyButtons[i] = empty;
        browseButtons[i] = browse;
        openBtns[i] = open;
    }
    txtFile01 = fileEdits[0], txtFile02 = fileEdits[1], txtFile03 = fileEdits[2];
    txtDesc01 = descEdits[0], txtDesc02 = descEdits[1], txtDesc03 = descEdits[2];
    imgCancella01 = emptyButtons[0], imgCancella02 = emptyButtons[1], imgCancella03 = emptyButtons[2];
    btnSfoglia01 = browseButtons[0], btnSfoglia02 = browseButtons[1], btnSfoglia03 = browseButtons[2];
    btnApri01 = openBtns[0], btnApri02 = openBtns[1], btnApri03 = openBtns[2];

    btnAnnulla = button(QStringLiteral("Annulla"), "btnAnnulla", QRect(291, 463, 140, 32), panel);
    btnApplica = button(QStringLiteral("Applica e chiudi"), "btnApplica", QRect(439, 463, 160, 32), panel,
                        QStringLiteral("check_green"));

    lblMemory = named(new QLabel(this), "lblMemory");
    lblMemory->hide();

    setTabOrder(txtDesc01, txtDesc02);
    setTabOrder(txtDesc02, txtDesc03);

    connect(btnSfoglia01, &QPushButton::clicked, this, &TfrmAllegaCartella::btnSfoglia01Click);
    connect(btnSfoglia02, &QPushButton::clicked, this, &TfrmAllegaCartella::btnSfoglia02Click);
    connect(btnSfoglia03, &QPushButton::clicked, this, &TfrmAllegaCartella::btnSfoglia03Click);
    connect(btnApri01, &QPushButton::clicked, this, &TfrmAllegaCartella::btnApri01Click);
    connect(btnApri02, &QPushButton::clicked, this, &TfrmAllegaCartella::btnApri02Click);
    connect(btnApri03, &QPushButton::clicked, this, &TfrmAllegaCartella::btnApri03Click);
    connect(imgCancella01, &ClickablePicture::clicked, this, &TfrmAllegaCartella::imgCancella01Click);
    connect(imgCancella02, &ClickablePicture::clicked, this, &TfrmAllegaCartella::imgCancella02Click);
    connect(imgCancella03, &ClickablePicture::clicked, this, &TfrmAllegaCartella::imgCancella03Click);
    connect(txtFile01, &QLineEdit::textChanged, this, &TfrmAllegaCartella::txtFile01Change);
    connect(txtFile02, &QLineEdit::textChanged, this, &TfrmAllegaCartella::txtFile02Change);
    connect(txtFile03, &QLineEdit::textChanged, this, &TfrmAllegaCartella::txtFile03Change);
    connect(btnApplica, &QPushButton::clicked, this, &TfrmAllegaCartella::btnApplicaClick);
    connect(btnAnnulla, &QPushButton::clicked, this, &TfrmAllegaCartella::btnAnnullaClick);
}

void TfrmAllegaCartella::btnSfoglia01Click() { browse(0); }
void TfrmAllegaCartella::btnSfoglia02Click() { browse(1); }
void TfrmAllegaCartella::btnSfoglia03Click() { browse(2); }
void TfrmAllegaCartella::btnApri01Click() { openSlot(0); }
void TfrmAllegaCartella::btnApri02Click() { openSlot(1); }
void TfrmAllegaCartella::btnApri03Click() { openSlot(2); }
void TfrmAllegaCartella::imgCancella01Click() { emptySlot(0); }
void TfrmAllegaCartella::imgCancella02Click() { emptySlot(1); }
void TfrmAllegaCartella::imgCancella03Click() { emptySlot(2); }
void TfrmAllegaCartella::txtFile01Change() { nameChanged(0); }
void TfrmAllegaCartella::txtFile02Change() { nameChanged(1); }
void TfrmAllegaCartella::txtFile03Change() { nameChanged(2); }

void TfrmAllegaCartella::browse(int slot)
{
    const QString chosen = dialogs::getOpenFileName(this, QStringLiteral("Selezionare il file da allegare:"),
                                                    QString(), QStringLiteral("Tutti i file (*.*)"));
    if (chosen.isEmpty())
        return;
    const QString name = QFileInfo(chosen).fileName();
    // A name the card cannot store as it is would point at another file
    // after Salva: refused before anything is copied.
    const attachments::NameProblem problem = attachments::checkName(name);
    if (problem != attachments::NameProblem::None) {
        msg::warning(this, attachments::refusalMessage(problem, name));
        return;
    }
    QLineEdit* edit = files()[slot];
    const QString previous = edit->text();
    edit->setText(name);
    edit->setCursorPosition(0); // a long file name shows its beginning

    // A slot must not name a file that is not in the folder: when the copy
    // fails, the slot gets its old name back and the user is told.
    const auto failed = [&] {
        edit->setText(previous);
        msg::error(this, copyFailedMessage());
    };
    const QString folder = attachmentsFolder();
    if (!QDir().mkpath(folder)) {
        failed();
        return;
    }
    const QString target = QDir(folder).filePath(name);
    if (QFileInfo::exists(target)) {
        const bool replace = msg::confirm(this, QStringLiteral(
            "Attenzione: nella cartella dei documenti allegati \u00e8 presente un file con lo stesso nome.\r\n\r\n"
            "Si vuole sovrascrivere il file esistente?"));
        if (!replace)
            return;
    }
    // The old file of that name stays until the new copy is complete.
    try {
        files::copyReplacing(chosen, target);
    } catch (const files::FileError&) {
        failed();
    }
}

void TfrmAllegaCartella::openSlot(int slot)
{
    const QString name = trimmed(files()[slot]->text());
    TMisc::OpenFile(this, QDir(attachmentsFolder()).filePath(name));
}

void TfrmAllegaCartella::emptySlot(int slot)
{
    files()[slot]->clear();
}

void TfrmAllegaCartella::nameChanged(int slot)
{
    openButtons()[slot]->setEnabled(!trimmed(files()[slot]->text()).isEmpty());
}

void TfrmAllegaCartella::btnApplicaClick()
{
    if (lblMemory->text() == kCardMarker) {
        if (auto* card = vornel::instance<TfrmClienti>()) {
            static const char* const fileLabels[3] = {"lblFile01", "lblFile02", "lblFile03"};
            static const char* const descLabels[3] = {"lblDesc01", "lblDesc02", "lblDesc03"};
            for (int i = 0; i < 3; ++i) {
                if (auto* l = qobject_cast<QLabel*>(card->field(QLatin1String(fileLabels[i]))))
                    l->setText(trimmed(files()[i]->text()));
                if (auto* l = qobject_cast<QLabel*>(card->field(QLatin1String(descLabels[i]))))
                    l->setText(trimmed(descs()[i]->text()));
            }
        }
    }
    accept();
}

void TfrmAllegaCartella::btnAnnullaClick()
{
    reject();
}

// --- patient folder window --------------------------------------------------

QString TfrmCartella::patientFolder(const QString& position)
{
    return programPath(QStringLiteral("Paziente_") + trimmed(position));
}

TfrmCartella::TfrmCartella(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral(" Gestione cartella abbinata alla scheda corrente"));
    look::makeFixed(this, 671, 545);
    look::setGradient(this, look::kSteelBlue, Qt::white);

    auto* white = new QWidget(this);
    white->setGeometry(14, 14, 643, 468);
    look::setBand(white, Qt::white, QColor(0xC8, 0xD6, 0xE4));

    auto* title = new QLabel(QStringLiteral("  Cartella del paziente"), white);
    title->setGeometry(8, 8, 627, 34);
    title->setFont(look::font(QStringLiteral("Verdana"), 13, true));
    title->setStyleSheet(QStringLiteral("color: white; background: qlineargradient(x1:0,y1:0,x2:1,y2:0,"
                                        " stop:0 #1F4E79, stop:1 #427AA8);"));

    instruction(white, QRect(8, 50, 627, 66), QStringLiteral("btn_cartella"),
                QStringLiteral("Ad ogni scheda in archivio pu\u00f2 essere abbinata una cartella in cui conservare "
                               "qualsiasi file che riguardi il paziente. Premere il pulsante qui sotto per aprire "
                               "la cartella abbinata a questa scheda."));

    auto bar = [white](int y) {
        auto* b = new QWidget(white);
        b->setGeometry(8, y, 627, 4);
        b->setStyleSheet(QStringLiteral("background: #4169E1;"));
        b->setAttribute(Qt::WA_StyledBackground);
    };
    bar(124);

    auto* folder = new QLabel(white);
    folder->setGeometry((643 - 150) / 2, 138, 150, 120);
    folder->setPixmap(look::picture(QStringLiteral("btn_cartella"), QSize(150, 120)));

    btnApriCartella = button(QStringLiteral("Apri cartella"), "btnApriCartella", QRect((643 - 200) / 2, 268, 200, 38),
                             white, QStringLiteral("btn_apri"));
    btnApriCartella->setFont(look::font(QStringLiteral("Verdana"), 12, true));
    bar(320);

    instruction(white, QRect(8, 334, 627, 110), QStringLiteral("btn_salva"),
                QStringLiteral("La cartella si trova all'interno della cartella in cui \u00e8 installato il programma. "
                               "Per eseguire una copia di sicurezza del programma e di tutti i suoi dati \u00e8 "
                               "sufficiente copiare la cartella di installazione su un disco esterno o su una "
                               "chiavetta USB."));
    bar(452);

    btnChiudi = button(QStringLiteral("Chiudi"), "btnChiudi", QRect((671 - 140) / 2, 496, 140, 34), this);

    lblMemory = named(new QLabel(this), "lblMemory");
    lblMemory->hide();

    FormCreate();
    connect(btnApriCartella, &QPushButton::clicked, this, &TfrmCartella::btnApriCartellaClick);
    connect(btnChiudi, &QPushButton::clicked, this, &TfrmCartella::btnChiudiClick);
}

void TfrmCartella::FormCreate()
{
    clock::applyProgramFormats();
}

void TfrmCartella::btnApriCartellaClick()
{
    const QString folder = patientFolder(lblMemory->text());
    // A folder that cannot be created is not reported: the shell then has
    // nothing to show.
    QDir().mkpath(folder);
    TMisc::OpenFile(this, folder);
    accept();
}

void TfrmCartella::btnChiudiClick()
{
    reject();
}
