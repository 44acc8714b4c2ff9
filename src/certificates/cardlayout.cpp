// The certificate card's window: the button row, the letterhead and
// physician column, the certificate body laid out from the kind's pieces,
// and the status strip.
#include "certificates/certificatecard.h"

#include "app/look.h"

#include <QFrame>
#include <QVBoxLayout>

using namespace vornel;
using namespace vornel::cards;
using vornel::look::named;

namespace {
const QColor kSection{0xC8, 0xD6, 0xE3};
const QColor kBoxBorder{0xA9, 0xBC, 0xD0};
const QColor kFooterBand{0xD2, 0xE4, 0xF5};
const QColor kStrip{0x30, 0x30, 0xDD};
const QColor kLabelColour{0x1F, 0x3F, 0x6B};

QWidget* box(QWidget* parent, const QRect& g, const QColor& fill, const QColor& border = kBoxBorder)
{
    auto* w = new QWidget(parent);
    w->setGeometry(g);
    look::setBand(w, fill, border);
    return w;
}

QLabel* label(const QString& text, QWidget* parent, const QRect& g, const QFont& font,
              const QString& style = QString())
{
    auto* l = new QLabel(text, parent);
    l->setGeometry(g);
    l->setFont(font);
    l->setStyleSheet(style.isEmpty() ? QStringLiteral("color: %1;").arg(kLabelColour.name()) : style);
    return l;
}

QFont labelFont()
{
    return look::font(QStringLiteral("Verdana"), 8, true);
}

QPushButton* iconButton(const char* art, const char* name, QWidget* parent, int x)
{
    auto* b = named(new PictureButton(QLatin1String(art), QString(), QSize(37, 39), parent, QSize(33, 35)), name);
    b->move(x, 9);
    return b;
}

QPushButton* captionButton(const char* art, const QString& caption, const char* name, QWidget* parent)
{
    auto* b = named(new PictureButton(QLatin1String(art), caption, QSize(148, 32), parent), name);
    b->move(4, 12);
    b->setFont(look::font(QStringLiteral("Verdana"), 10, true));
    return b;
}

const Field* findField(std::span<const Field> table, const char* name)
{
    for (const Field& f : table)
        if (qstrcmp(f.name, name) == 0)
            return &f;
    return nullptr;
}
} // namespace

void CertificateCard::buildWindow()
{
    look::setGradient(this, look::kSteelBlue, Qt::white);

    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panCard"));
    panel->setFixedSize(994, 692);
    look::setGradient(panel, QColor(0xE8, 0xF0, 0xF8), QColor(0x9F, 0xBC, 0xD8));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel, 0, Qt::AlignCenter);

    // The status strip.
    QWidget* strip = box(panel, QRect(4, 660, 986, 28), kStrip, kStrip);
    panInfo = named(new QLabel(QStringLiteral("Pronto per archiviare una nuova scheda..."), strip), "panInfo");
    panInfo->setGeometry(10, 0, 966, 28);
    panInfo->setFont(look::font(QStringLiteral("Tahoma"), 12));
    panInfo->setStyleSheet(QStringLiteral("color: white;"));
    m_hints = new HintTracker(panInfo, this);

    // The row of button boxes.
    // Box 1 holds the history button after the four record buttons; the
    // boxes after it are a little narrower to make room for it.
    QWidget* box1 = box(panel, QRect(4, 4, 217, 57), Qt::white);
    cmdNuovo = iconButton("btn_nuovo", "cmdNuovo", box1, 6);
    cmdDuplica = iconButton("btn_duplica", "cmdDuplica", box1, 48);
    cmdSalva = iconButton("btn_salva", "cmdSalva", box1, 90);
    cmdTrova = iconButton("btn_trova", "cmdTrova", box1, 132);
    cmdStorico = iconButton("btn_storico", "cmdStorico", box1, 174);
    QWidget* box2 = box(panel, QRect(227, 4, 156, 57), Qt::white);
    cmdAnteprima = captionButton("btn_anteprima", QStringLiteral("Anteprima"), "cmdAnteprima", box2);
    QWidget* box3 = box(panel, QRect(389, 4, 156, 57), Qt::white);
    cmdStampa = captionButton("btn_stampa", QStringLiteral("Stampa"), "cmdStampa", box3);
    QWidget* records = box(panel, QRect(551, 4, 250, 57), Qt::white);
    cmdPrimo = iconButton("btn_primo", "cmdPrimo", records, 6);
    cmdIndietro = iconButton("btn_indietro", "cmdIndietro", records, 46);
    lblPosizione = named(new QLabel(records), "lblPosizione");
    lblPosizione->setGeometry(88, 13, 74, 31);
    lblPosizione->setAlignment(Qt::AlignCenter);
    lblPosizione->setFont(look::font(QStringLiteral("Verdana"), 12, true));
    lblPosizione->setStyleSheet(QStringLiteral("color: #1F3F6B; background: #F0F8FF; border: 1px solid #87CEEB;"));
    cmdAvanti = iconButton("btn_avanti", "cmdAvanti", records, 166);
    cmdUltimo = iconButton("btn_ultimo", "cmdUltimo", records, 207);
    QWidget* box4 = box(panel, QRect(807, 4, 88, 57), Qt::white);
    cmdEsporta = iconButton("btn_esporta", "cmdEsporta", box4, 5);
    cmdDaCompletare = iconButton("btn_dacompletare", "cmdDaCompletare", box4, 46);
    QWidget* box5 = box(panel, QRect(901, 4, 88, 57), Qt::white);
    cmdGuida = iconButton("btn_guida", "cmdGuida", box5, 5);
    cmdEsci = iconButton("btn_esci", "cmdEsci", box5, 46);

    // The section with the white sheet.
    QWidget* section = box(panel, QRect(4, 66, 986, 590), kSection);
    QWidget* sheet = box(section, QRect(8, 8, 970, 574), Qt::white);

    // Left column: letterhead, decoration, physician.
    const QColor column = QColor::fromRgba(m_desc.columnColour);
    QWidget* office = box(sheet, QRect(10, 10, 286, 330), column);
    struct Place {
        const char* name;
        const char* text;
        QRect field;
    };
    // Label above each field; rows of 46 pixels.
    const Place officePlaces[] = {
        {"txtStudioDent", "Studio Medico:", QRect(8, 24, 270, 24)},
        {"txtIndirizzoDent", "Via e numero civico:", QRect(8, 70, 270, 24)},
        {"txtCapDent", "CAP:", QRect(8, 116, 62, 24)},
        {"txtCittaDent", "Comune sede legale:", QRect(76, 116, 156, 24)},
        {"txtProvDent", "Prov.", QRect(238, 116, 40, 24)},
        {"txtTelDent", "Recapiti telefonici:", QRect(8, 162, 270, 24)},
        {"txtIvaDent", "Partita IVA:", QRect(8, 208, 270, 24)},
        {"txtCodFiscDent", "Codice Fiscale:", QRect(8, 254, 270, 24)},
        {"txtLibero", "Campo libero:", QRect(8, 300, 270, 24)},
    };
    for (const Place& p : officePlaces) {
        label(QString::fromUtf8(p.text), office, QRect(p.field.x(), p.field.y() - 17, p.field.width() + 40, 16),
              labelFont());
        addField(*findField(kLetterheadFields, p.name), office, p.field);
    }
    auto* decor = new QLabel(sheet);
    decor->setObjectName(QStringLiteral("imgDecorazione"));
    decor->setGeometry(10, 346, 286, 86);
    decor->setPixmap(look::picture(QStringLiteral("decor"), QSize(286, 86)));
    QWidget* physician = box(sheet, QRect(10, 438, 286, 100), column);
    const Place physicianPlaces[] = {
        {"txtMedico", "Medico certificatore:", QRect(8, 24, 270, 24)},
        {"txtCodice", "Codice identificativo:", QRect(8, 70, 270, 24)},
    };
    for (const Place& p : physicianPlaces) {
        label(QString::fromUtf8(p.text), physician, QRect(p.field.x(), p.field.y() - 17, p.field.width(), 16),
              labelFont());
        addField(*findField(kLetterheadFields, p.name), physician, p.field);
    }

    // Right: the certificate itself.
    auto* body = new QWidget(sheet);
    body->setObjectName(QStringLiteral("panCertificato"));
    body->setGeometry(310, 8, 650, 558);
    buildBody(body);

    for (QWidget* area : {static_cast<QWidget*>(this), panel, box1, box2, box3, records, box4, box5, section, sheet})
        m_hints->clearOn(area);
}

void CertificateCard::buildBody(QWidget* area)
{
    const QFont wording = look::font(QStringLiteral("Arial"), 11);
    for (std::span<const BodyPiece> group : m_desc.body) {
        for (const BodyPiece& p : group) {
            const QString text = p.text ? QString::fromUtf8(p.text) : QString();
            switch (p.kind) {
            case Piece::Title: {
                const QStringList lines = text.split(QLatin1Char('\n'));
                auto* t = label(QStringLiteral("<div style='font-size:21px'>%1</div><div style='font-size:13px'>%2</div>")
                                    .arg(lines.value(0).toHtmlEscaped(), lines.value(1).toHtmlEscaped()),
                                area, p.rect, look::font(QStringLiteral("Arial"), 12, true),
                                QStringLiteral("color: #14285A; background: #E6E6FA; border: 1px solid #6A6AA8;"
                                               " border-radius: 4px;"));
                t->setObjectName(QStringLiteral("imgTitolo"));
                t->setAlignment(Qt::AlignCenter);
                break;
            }
            case Piece::Wording: {
                auto* paper = new QWidget(area);
                paper->setObjectName(QStringLiteral("imgTesto"));
                paper->setGeometry(p.rect);
                look::setBand(paper, QColor(0xFF, 0xFD, 0xF4), QColor(0xC9, 0xC2, 0xA6));
                break;
            }
            case Piece::Reference: {
                auto* r = label(text, area, p.rect, look::font(QStringLiteral("Arial"), 7),
                                QStringLiteral("color: #333333;"));
                r->setWordWrap(true);
                r->setAlignment(Qt::AlignCenter);
                break;
            }
            case Piece::Decree:
                label(text, area, p.rect, look::font(QStringLiteral("Arial"), 10, true),
                      QStringLiteral("color: #14285A; font-style: italic;"))
                    ->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                break;
            case Piece::Text:
                label(text, area, p.rect, wording, QStringLiteral("color: black;"))
                    ->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                break;
            case Piece::Label:
                label(text, area, p.rect, labelFont())->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                break;
            case Piece::Edit:
                for (std::span<const Field> fields : m_desc.bodyFields)
                    if (const Field* f = findField(fields, p.name))
                        addField(*f, area, p.rect);
                break;
            case Piece::Import:
                addImportButton(p.name, area, p.rect);
                break;
            case Piece::Line: {
                auto* line = new QFrame(area);
                line->setGeometry(p.rect);
                line->setStyleSheet(QStringLiteral("background: #7A9CC0; border: none;"));
                break;
            }
            case Piece::Note:
                label(text, area, p.rect, look::font(QStringLiteral("Arial"), 9, true), QStringLiteral("color: #D00000;"))
                    ->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
                break;
            case Piece::Signature:
                // The line to sign on, its caption under it.
                label(text, area, p.rect, look::font(QStringLiteral("Arial"), 10),
                      QStringLiteral("color: #14285A; font-style: italic; border-top: 1px solid #14285A;"))
                    ->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
                break;
            case Piece::Completed: {
                auto* frame = new QFrame(area);
                frame->setObjectName(QStringLiteral("panCompletato"));
                frame->setGeometry(p.rect);
                frame->setStyleSheet(QStringLiteral("QFrame#panCompletato { background: white; border: 4px solid red; }"));
                const int side = p.rect.height() - 22;
                auto* tick = new QLabel(frame);
                tick->setGeometry(9, (p.rect.height() - side) / 2, side, side);
                tick->setPixmap(look::picture(QStringLiteral("check_green"), QSize(side, side)));
                chkCompletato = named(new QCheckBox(QStringLiteral("Completato"), frame), "chkCompletato");
                chkCompletato->setGeometry(side + 14, 4, p.rect.width() - side - 18, p.rect.height() - 8);
                chkCompletato->setFont(look::font(QStringLiteral("Verdana"), 9, true));
                chkCompletato->setCursor(Qt::PointingHandCursor);
                m_hints->clearOn(frame);
                m_hints->clearOn(tick);
                break;
            }
            case Piece::Footer: {
                QWidget* band = box(area, p.rect, kFooterBand);
                const int y = (p.rect.height() - 28) / 2;
                const int dataWidth = 150;
                const int luogoWidth = p.rect.width() - dataWidth - 130;
                label(QStringLiteral("Luogo:"), band, QRect(8, y, 56, 28), labelFont())->setAlignment(Qt::AlignVCenter);
                addField(kFooterFields[0], band, QRect(62, y, luogoWidth, 28));
                label(QStringLiteral("Data:"), band, QRect(72 + luogoWidth, y, 46, 28), labelFont())
                    ->setAlignment(Qt::AlignVCenter);
                addField(kFooterFields[1], band, QRect(p.rect.width() - dataWidth - 8, y, dataWidth, 28));
                break;
            }
            }
        }
    }
}

QLineEdit* CertificateCard::addField(const Field& def, QWidget* parent, const QRect& geometry)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(def.name));
    edit->setGeometry(geometry);
    edit->setMaxLength(def.maxLength);
    edit->setProperty("vornelLimit", def.maxLength);
    const bool large = (def.flags & BodyLook) || findField(kFooterFields, def.name);
    edit->setFont(look::font(QStringLiteral("Verdana"), large ? 12 : 9, true));
    if (def.flags & Centred)
        edit->setAlignment(Qt::AlignCenter);
    look::setFieldLook(edit, (def.flags & BodyLook) ? look::kAliceBlue : QColor(Qt::white));
    m_fields.insert(edit->objectName(), edit);
    return edit;
}

QPushButton* CertificateCard::addImportButton(const char* name, QWidget* parent, const QRect& geometry)
{
    auto* b = named(new PictureButton(QStringLiteral("imp_paziente"), QString(), geometry.size(), parent,
                                      geometry.size() - QSize(2, 2)),
                    name);
    b->move(geometry.topLeft());
    const QLatin1String n(name);
    if (n == QLatin1String("impPaziente"))
        impPaziente = b;
    else if (n == QLatin1String("impSportRichiesto"))
        impSportRichiesto = b;
    else if (n == QLatin1String("impSportApprovato"))
        impSportApprovato = b;
    return b;
}
