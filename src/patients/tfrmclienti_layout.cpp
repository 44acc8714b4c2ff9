// The patient card's controls: five section bands with their fields on the
// left, the button column on the right, the status and navigation strips
// at the bottom.
#include "patients/tfrmclienti.h"

#include "app/look.h"
#include "patients/core/provinces.h"
#include "patients/fieldtext.h"

#include <QVBoxLayout>

using namespace vornel;
using vornel::look::named;

namespace {

// Geometry of the panel (995 x 692) and of the section bands.
constexpr int kBandWidth = 777;
constexpr int kSquare = 78;          // white square with the band's picture
constexpr int kFieldsLeft = 98;      // fields start right of the square
constexpr int kRowPitch = 50;        // label + edit + highlight margin
constexpr int kLabelHeight = 14;
constexpr int kEditTop = 18;         // edit below its label, within a row
constexpr int kEditHeight = 25;
constexpr int kBandPadding = 6;
constexpr int kHighlight = 4;        // the highlight exceeds its edit on every side

const QColor kGround{0xC3, 0xD0, 0xDE};
const QColor kBand{0xE7, 0xEF, 0xF7};
const QColor kStatusBlue{0x0D, 0x0D, 0xCD};
const QColor kLabelColour{0x1F, 0x3F, 0x6B};

struct Section {
    int rows;
    const char* art;
};
constexpr Section kSections[5] = {
    {3, "app_icon"},       // personal data
    {2, "btn_email"},      // contacts
    {2, "btn_controlla"},  // documents
    {2, "cuore"},          // clinical situation
    {2, "btn_ricontatta"}, // pending questions and notes
};

// One data field: member, control name, highlight name, label, place in its
// section (row, x from the fields' left edge, width), typing limit, centred.
struct EditPlace {
    QLineEdit* TfrmClienti::*member;
    const char* name;
    const char* highlight;
    const char* label;
    int section;
    int row;
    int x;
    int width;
    int maxLength;
    bool centred;
};

const EditPlace kEdits[] = {
    {&TfrmClienti::txtPaziente, "txtPaziente", "effPaziente", "Cognome e nome:", 0, 0, 0, 262, 50, false},
    {&TfrmClienti::txtDataNasc, "txtDataNasc", "effDataNasc", "Data di nascita:", 0, 0, 272, 120, 10, true},
    {&TfrmClienti::txtComuneNasc, "txtComuneNasc", "effComuneNasc", "Comune di nascita:", 0, 0, 402, 197, 50, false},
    {&TfrmClienti::txtSesso, "txtSesso", "effSesso", "Sesso:", 0, 1, 0, 50, 1, true},
    {&TfrmClienti::txtRecapito, "txtRecapito", "effRecapito", "Tel. preferenziale:", 0, 1, 60, 180, 50, false},
    {&TfrmClienti::txtIndirizzoRes, "txtIndirizzoRes", "effIndirizzoRes",
     "Residente in Via / Piazza e numero civico:", 0, 1, 250, 349, 50, false},
    {&TfrmClienti::txtComuneRes, "txtComuneRes", "effComuneRes", "Comune di residenza:", 0, 2, 0, 220, 50, false},
    {&TfrmClienti::txtCapRes, "txtCapRes", "effCapRes", "CAP:", 0, 2, 230, 70, 5, false},
    {&TfrmClienti::txtProfessione, "txtProfessione", "effProfessione", "Professione:", 0, 2, 310, 200, 50, false},
    {&TfrmClienti::txtASL, "txtASL", "effASL", "ASL:", 0, 2, 520, 151, 50, false},
    {&TfrmClienti::txtTelCasa, "txtTelCasa", "effTelCasa", "Tel. casa:", 1, 0, 0, 150, 30, false},
    {&TfrmClienti::txtTelUff, "txtTelUff", "effTelUff", "Tel. ufficio:", 1, 0, 160, 150, 30, false},
    {&TfrmClienti::txtTelCel, "txtTelCel", "effTelCel", "Tel. cellulare:", 1, 0, 320, 150, 30, false},
    {&TfrmClienti::txtFax, "txtFax", "effFax", "PEC:", 1, 0, 480, 191, 30, false},
    {&TfrmClienti::txtEmail, "txtEmail", "effEmail", "E-mail:", 1, 1, 0, 400, 50, false},
    {&TfrmClienti::txtCodFisc, "txtCodFisc", "effCodFisc", "Codice fiscale:", 2, 0, 0, 230, 16, false},
    {&TfrmClienti::txtTessera, "txtTessera", "effTessera", "Tessera sanitaria n.", 2, 0, 273, 258, 50, false},
    {&TfrmClienti::txtGruppo, "txtGruppo", "effGruppo", "Gruppo sanguigno:", 2, 0, 541, 130, 10, true},
    {&TfrmClienti::txtPartitaIva, "txtPartitaIva", "effPartitaIva", "Partita IVA:", 2, 1, 0, 150, 11, false},
    {&TfrmClienti::txtVaccinazioni, "txtVaccinazioni", "effVaccinazioni", "Documento di identit\u00e0:", 2, 1, 193, 478,
     250, false},
    {&TfrmClienti::txtPatologie, "txtPatologie", "effPatologie", "Patologie:", 3, 0, 0, 217, 250, false},
    {&TfrmClienti::txtAllergie, "txtAllergie", "effAllergie", "Allergie e intolleranze:", 3, 0, 227, 217, 250, false},
    {&TfrmClienti::txtFarmaci, "txtFarmaci", "effFarmaci", "Farmaci assunti:", 3, 0, 454, 217, 250, false},
    {&TfrmClienti::txtInterventi, "txtInterventi", "effinterventi", "Interventi subiti:", 3, 1, 0, 217, 250, false},
    {&TfrmClienti::txtProtesi, "txtProtesi", "effProtesi", "Protesi:", 3, 1, 227, 217, 250, false},
    {&TfrmClienti::txtHandicap, "txtHandicap", "effHandicap", "Handicap psicomotori:", 3, 1, 454, 217, 250, false},
    {&TfrmClienti::txtQuestioni, "txtQuestioni", "effQuestioni", "Questioni in sospeso:", 4, 0, 0, 500, 250, false},
    {&TfrmClienti::txtNote, "txtNote", "effNote", "Note:", 4, 1, 0, 500, 250, false},
};

struct ComboPlace {
    QComboBox* TfrmClienti::*member;
    const char* name;
    const char* highlight;
    int row;
    int x;
};
constexpr int kComboWidth = 62;
const ComboPlace kCombos[] = {
    {&TfrmClienti::txtProvNasc, "txtProvNasc", "effProvNasc", 0, 609},
    {&TfrmClienti::txtProvRes, "txtProvRes", "effProvRes", 1, 609},
};

struct ButtonPlace {
    QPushButton* TfrmClienti::*member;
    const char* name;
    const char* art;
    const char* caption;
    const char* hint;
};
const ButtonPlace kColumnButtons[] = {
    {&TfrmClienti::cmdNuovo, "cmdNuovo", "btn_nuovo", "Nuovo",
     "Prepara la schermata per la registrazione di una nuova scheda."},
    {&TfrmClienti::cmdDuplica, "cmdDuplica", "btn_duplica", "Duplica",
     "Prepara la schermata per la registrazione di una nuova scheda duplicando i dati correnti."},
    {&TfrmClienti::cmdSalva, "cmdSalva", "btn_salva", "Salva", "Salva la scheda corrente in archivio."},
    {&TfrmClienti::cmdFile, "cmdFile", "btn_allega", "Allega file", "Allega file alla scheda corrente."},
    {&TfrmClienti::cmdCartella, "cmdCartella", "btn_cartella", "Associa cartella",
     "Gestisci la cartella associata al paziente."},
    {&TfrmClienti::cmdTrova, "cmdTrova", "btn_trova", "Trova", "Trova schede in archivio."},
    {&TfrmClienti::cmdStampa, "cmdStampa", "btn_stampa", "Stampa", "Stampa la scheda corrente."},
    {&TfrmClienti::cmdPDF, "cmdPDF", "btn_pdf", "Crea PDF", "Esporta la scheda in formato PDF."},
    {&TfrmClienti::cmdRicontatta, "cmdRicontatta", "btn_ricontatta", "Da ricontattare",
     "Visualizza il riepilogo dei pazienti da ricontattare."},
    {&TfrmClienti::cmdEsporta, "cmdEsporta", "btn_esporta", "Esporta archivio",
     "Esporta le schede in archivio in un file di Microsoft Excel."},
    {&TfrmClienti::cmdStorico, "cmdStorico", "btn_storico", "Storico",
     "Visualizza le versioni precedenti della scheda in archivio."},
    {&TfrmClienti::cmdGuida, "cmdGuida", "btn_guida", "Guida", "Visualizza la guida in linea."},
    {&TfrmClienti::cmdEsci, "cmdEsci", "btn_esci", "Esci", "Esci dalla schermata di lavoro corrente."},
};
const ButtonPlace kNavigationButtons[] = {
    {&TfrmClienti::cmdPrimo, "cmdPrimo", "btn_primo", "", "Visualizza la prima scheda in archivio."},
    {&TfrmClienti::cmdIndietro, "cmdIndietro", "btn_indietro", "", "Visualizza la scheda precedente in archivio."},
    {&TfrmClienti::cmdAvanti, "cmdAvanti", "btn_avanti", "", "Visualizza la scheda successiva in archivio."},
    {&TfrmClienti::cmdUltimo, "cmdUltimo", "btn_ultimo", "", "Visualizza l'ultima scheda in archivio."},
};

int sectionHeight(int rows)
{
    return rows * kRowPitch + 2 * kBandPadding - 2;
}

// The row's label rectangle and edit rectangle inside a band.
QRect labelRect(int row, int x, int width)
{
    return {kFieldsLeft + x, kBandPadding + row * kRowPitch, width, kLabelHeight};
}
QRect editRect(int row, int x, int width)
{
    return {kFieldsLeft + x, kBandPadding + row * kRowPitch + kEditTop, width, kEditHeight};
}

QLabel* addLabel(QWidget* band, const QString& text, const QRect& g)
{
    auto* l = new QLabel(text, band);
    l->setGeometry(g.x(), g.y(), qMax(g.width(), 300), g.height());
    l->setFont(look::font(QStringLiteral("Verdana"), 9, true));
    l->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(kLabelColour.name()));
    l->setTextFormat(Qt::PlainText);
    return l;
}

QWidget* addHighlight(QWidget* band, const char* name, const QRect& editGeometry)
{
    auto* eff = named(new QWidget(band), name);
    eff->setGeometry(editGeometry.adjusted(-kHighlight, -kHighlight, kHighlight, kHighlight));
    eff->setAttribute(Qt::WA_StyledBackground);
    eff->setStyleSheet(QStringLiteral(
        "background: #FFFF00; border: 2px solid qlineargradient(x1:0,y1:0,x2:0,y2:1, stop:0 #FFFF00, stop:1 #FFFFFF);"
        " border-radius: 3px;"));
    eff->hide();
    return eff;
}

const QString kEditStyle = QStringLiteral("QLineEdit { background: white; border: 1px solid #8FA8C4; padding: 0 2px; }");

} // namespace

void TfrmClienti::buildLayout()
{
    look::setGradient(this, look::kSteelBlue, Qt::white);
    auto* panel = named(new QWidget(this), "panCentrale");
    panel->setFixedSize(995, 692);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel, 0, Qt::AlignCenter);

    // Status text first: the hint tracker writes into it.
    auto* status = named(new QWidget(panel), "panStato");
    status->setGeometry(4, 650, 806, 38);
    look::setBand(status, kStatusBlue);
    panInfo = named(new QLabel(QStringLiteral("Pronto per archiviare una nuova scheda..."), status), "panInfo");
    panInfo->setGeometry(12, 0, 790, 38);
    panInfo->setFont(look::font(QStringLiteral("Tahoma"), 12));
    panInfo->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    panInfo->setTextFormat(Qt::PlainText);
    m_hints = new HintTracker(panInfo, this);
    m_hints->clearOn(this);
    m_hints->clearOn(panel);
    m_hints->clearOn(status);

    // Left: the grey-blue ground with the five section bands.
    auto* ground = named(new QWidget(panel), "panSezioni");
    ground->setGeometry(4, 4, 806, 642);
    look::setBand(ground, kGround);
    m_hints->clearOn(ground);

    int total = 0;
    for (const Section& s : kSections)
        total += sectionHeight(s.rows);
    const int gap = (ground->height() - total) / 6;
    QWidget* bands[5];
    int top = gap;
    for (int i = 0; i < 5; ++i) {
        const int h = sectionHeight(kSections[i].rows);
        bands[i] = new QWidget(ground);
        bands[i]->setObjectName(QStringLiteral("panSezione%1").arg(i + 1));
        bands[i]->setGeometry((ground->width() - kBandWidth) / 2, top, kBandWidth, h);
        look::setBand(bands[i], kBand, QColor(0xA9, 0xBD, 0xD3));
        m_hints->clearOn(bands[i]);
        auto* square = new QLabel(bands[i]);
        square->setGeometry(8, (h - kSquare) / 2, kSquare, kSquare);
        square->setAlignment(Qt::AlignCenter);
        square->setStyleSheet(QStringLiteral("background: white; border: 1px solid #A9BDD3;"));
        square->setPixmap(look::picture(QLatin1String(kSections[i].art), QSize(56, 56)));
        m_hints->clearOn(square);
        top += h + gap;
    }

    // The data fields, each with its label above it and its highlight behind it.
    for (const EditPlace& f : kEdits) {
        QWidget* band = bands[f.section];
        addLabel(band, QString::fromUtf8(f.label), labelRect(f.row, f.x, f.width));
        const QRect g = editRect(f.row, f.x, f.width);
        addHighlight(band, f.highlight, g);
        auto* edit = named(new QLineEdit(band), f.name);
        edit->setGeometry(g);
        edit->setFont(look::font(QStringLiteral("Verdana"), 12, true));
        edit->setStyleSheet(kEditStyle);
        if (f.centred)
            edit->setAlignment(Qt::AlignCenter);
        fields::setTypingLimit(edit, f.maxLength);
        this->*(f.member) = edit;
    }
    for (const ComboPlace& c : kCombos) {
        QWidget* band = bands[0];
        addLabel(band, QStringLiteral("Prov."), labelRect(c.row, c.x, kComboWidth));
        const QRect g = editRect(c.row, c.x, kComboWidth);
        addHighlight(band, c.highlight, g);
        auto* combo = named(new QComboBox(band), c.name);
        combo->setGeometry(g);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        // What the user types is what is stored: no inline completion.
        combo->setCompleter(nullptr);
        combo->setFont(look::font(QStringLiteral("Verdana"), 12, true));
        combo->addItems(provinceCodes());
        combo->setMaxVisibleItems(16);
        combo->setCurrentIndex(-1);
        combo->lineEdit()->setMaxLength(2);
        combo->setStyleSheet(QStringLiteral("QComboBox { background: white; border: 1px solid #8FA8C4;"
                                            " padding: 0 2px; }"));
        this->*(c.member) = combo;
    }

    // Buttons beside the fields.
    const int rowEdit = kBandPadding + kEditTop;
    btnEmail = named(new PictureButton(QStringLiteral("btn_email"), QString(), QSize(kEditHeight, kEditHeight),
                                       bands[1], QSize(21, 21)),
                     "btnEmail");
    btnEmail->move(kFieldsLeft + 408, rowEdit + kRowPitch);
    btnCodFisc = named(new PictureButton(QStringLiteral("btn_controlla"), QString(),
                                         QSize(kEditHeight, kEditHeight), bands[2], QSize(21, 21)),
                       "btnCodFisc");
    btnCodFisc->move(kFieldsLeft + 238, rowEdit);
    btnPartitaIva = named(new PictureButton(QStringLiteral("btn_controlla"), QString(),
                                            QSize(kEditHeight, kEditHeight), bands[2], QSize(21, 21)),
                          "btnPartitaIva");
    btnPartitaIva->move(kFieldsLeft + 158, rowEdit + kRowPitch);
    chkRicontatta = named(new QCheckBox(QStringLiteral("Da ricontattare"), bands[4]), "chkRicontatta");
    chkRicontatta->setGeometry(kFieldsLeft + 512, rowEdit, 159, kEditHeight);
    chkRicontatta->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    QPalette checkPalette = chkRicontatta->palette();
    checkPalette.setColor(QPalette::WindowText, kLabelColour);
    chkRicontatta->setPalette(checkPalette);
    chkRicontatta->setCursor(Qt::PointingHandCursor);
    btnPrivacy = named(new PictureButton(QStringLiteral("btn_privacy"), QStringLiteral("PRIVACY"), QSize(110, kEditHeight),
                                         bands[4], QSize(18, 18)),
                       "btnPrivacy");
    btnPrivacy->move(kFieldsLeft + 512, rowEdit + kRowPitch);
    btnPrivacy->setFont(look::font(QStringLiteral("Verdana"), 9, true));

    // The six attachment slots travel with the record, unseen.
    QLabel** slotLabels[] = {&lblFile01, &lblFile02, &lblFile03, &lblDesc01, &lblDesc02, &lblDesc03};
    const char* slotNames[] = {"lblFile01", "lblFile02", "lblFile03", "lblDesc01", "lblDesc02", "lblDesc03"};
    for (int i = 0; i < 6; ++i) {
        *slotLabels[i] = named(new QLabel(panel), slotNames[i]);
        (*slotLabels[i])->setTextFormat(Qt::PlainText);
        (*slotLabels[i])->hide();
    }

    // Right: the white button column.
    auto* column = named(new QWidget(panel), "panPulsanti");
    column->setGeometry(814, 4, 177, 642);
    look::setBand(column, Qt::white, QColor(0xA9, 0xBD, 0xD3));
    m_hints->clearOn(column);
    int y = 12;
    for (const ButtonPlace& b : kColumnButtons) {
        auto* button = named(new PictureButton(QLatin1String(b.art), QString::fromUtf8(b.caption), QSize(148, 32),
                                               column, QSize(20, 20)),
                             b.name);
        button->move((177 - 148) / 2, y);
        button->setFont(look::font(QStringLiteral("Verdana"), 9, true));
        m_hints->setHint(button, QString::fromUtf8(b.hint));
        this->*(b.member) = button;
        y += 41;
    }
    auto* decoration = named(new QLabel(column), "imgDecorazione");
    decoration->setGeometry(14, y + 14, 148, 642 - y - 28);
    decoration->setAlignment(Qt::AlignCenter);
    decoration->setPixmap(look::picture(QStringLiteral("logo"), decoration->size()));
    m_hints->clearOn(decoration);

    // Bottom right: the white navigation strip.
    auto* navigation = named(new QWidget(panel), "panNavigazione");
    navigation->setGeometry(814, 650, 177, 38);
    look::setBand(navigation, Qt::white, QColor(0xA9, 0xBD, 0xD3));
    m_hints->clearOn(navigation);
    const int navX[] = {3, 30, 121, 148};
    for (int i = 0; i < 4; ++i) {
        const ButtonPlace& b = kNavigationButtons[i];
        auto* button = named(new PictureButton(QLatin1String(b.art), QString(), QSize(26, 26), navigation,
                                               QSize(22, 22)),
                             b.name);
        button->move(navX[i], 6);
        m_hints->setHint(button, QString::fromUtf8(b.hint));
        this->*(b.member) = button;
    }
    lblPosizione = named(new QLabel(navigation), "lblPosizione");
    lblPosizione->setGeometry(57, 6, 63, 26);
    lblPosizione->setAlignment(Qt::AlignCenter);
    lblPosizione->setTextFormat(Qt::PlainText);
    lblPosizione->setFont(look::font(QStringLiteral("Verdana"), 12, true));
    lblPosizione->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(kLabelColour.name()));
    m_hints->clearOn(lblPosizione);

    m_hints->setHint(btnEmail, QStringLiteral("Invia una e-mail all'indirizzo indicato."));
    m_hints->setHint(btnCodFisc, QStringLiteral("Controlla il codice fiscale."));
    m_hints->setHint(btnPartitaIva, QStringLiteral("Controlla il numero di partita IVA."));
    m_hints->setHint(btnPrivacy, QStringLiteral("Stampa il modulo per il consenso al trattamento dei dati personali "
                                                "e sensibili."));
    m_hints->setHint(chkRicontatta, QStringLiteral("Annota che il paziente \u00e8 da ricontattare per questioni in "
                                                   "sospeso."));
}
