#include "app/core/guidepdf.h"

#include "app/core/helptopics.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSet>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>

#include <algorithm>
#include <array>

namespace vornel::help {

namespace {

// The manual is laid out at 300 dots per inch; every length below is given in
// millimetres or points and converted.
constexpr int kDpi = 300;
qreal mm(qreal v) { return v * kDpi / 25.4; }
// Lengths inside the text document (margins, padding, borders) are given in
// pixels at the 96 dpi reference and scaled to the PDF by the layout.
qreal docMm(qreal v) { return v * 96 / 25.4; }

// Page geometry (A4 portrait).
constexpr qreal kPageWidthMm = 210.0;
constexpr qreal kPageHeightMm = 297.0;
constexpr qreal kMarginLeftMm = 24.0;
constexpr qreal kMarginRightMm = 22.0;
constexpr qreal kMarginTopMm = 28.0;
constexpr qreal kMarginBottomMm = 26.0;

const QString kFontFamily = QStringLiteral("Arial");
const QString kProgramName = QStringLiteral("Vornel");
const QString kSubtitle = QStringLiteral("Guida all'utilizzo del software");

const QColor kBlue(0x1F, 0x4E, 0x79);
const QColor kCrimson(0xA8, 0x1C, 0x2B);
const QColor kText(0x22, 0x22, 0x22);
const QColor kGrey(0x6B, 0x6B, 0x6B);
const QColor kRule(0xB8, 0xC4, 0xD0);
const QColor kLightBlue(0xBF, 0xD8, 0xEF);
const QColor kNoteFill(0xEE, 0xF4, 0xFB);
const QColor kNoteBorder(0x9D, 0xB9, 0xD6);

QFont font(qreal pointSize, bool bold = false)
{
    QFont f(kFontFamily);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

QTextCharFormat charFormat(qreal pointSize, const QColor& color, bool bold = false)
{
    QTextCharFormat fmt;
    fmt.setFont(font(pointSize, bold));
    fmt.setForeground(color);
    return fmt;
}

struct Chapter {
    QString title;
    QTextBlock label;    // "CAPITOLO n"
    QTextBlock heading;  // the chapter title
    int firstPage = 0;   // 0-based page of the body where the chapter starts
};

// Builds the body of the manual into a QTextDocument, one block at a time.
class GuideBuilder {
public:
    explicit GuideBuilder(QTextDocument& doc) : m_cursor(&doc) {}

    void chapter(const QString& title)
    {
        Chapter ch;
        ch.title = title;

        QTextBlockFormat labelFormat;
        labelFormat.setPageBreakPolicy(m_chapters.isEmpty() ? QTextFormat::PageBreak_Auto
                                                            : QTextFormat::PageBreak_AlwaysBefore);
        labelFormat.setBottomMargin(docMm(1.5));
        QTextCharFormat labelChars = charFormat(10, kCrimson, true);
        labelChars.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        labelChars.setFontLetterSpacing(1.5);
        ch.label = newBlock(labelFormat, labelChars);
        m_cursor.insertText(QStringLiteral("CAPITOLO %1").arg(m_chapters.size() + 1), labelChars);

        QTextBlockFormat headingFormat;
        headingFormat.setBottomMargin(docMm(9));
        const QTextCharFormat headingChars = charFormat(24, kBlue, true);
        ch.heading = newBlock(headingFormat, headingChars);
        m_cursor.insertText(title, headingChars);

        m_chapters << ch;
    }

    void section(const QString& title)
    {
        QTextBlockFormat fmt;
        fmt.setTopMargin(docMm(5));
        fmt.setBottomMargin(docMm(1.8));
        const QTextCharFormat chars = charFormat(13, kBlue, true);
        m_sections << newBlock(fmt, chars);
        m_cursor.insertText(title, chars);
    }

    void paragraph(const QString& text)
    {
        const QTextCharFormat chars = charFormat(11, kText);
        newBlock(bodyFormat(), chars);
        m_cursor.insertText(text, chars);
    }

    // Bulleted items, each with an optional bold lead ("lead: text").
    void bullets(const QList<std::pair<QString, QString>>& items)
    {
        QTextList* list = nullptr;
        for (const auto& [lead, text] : items) {
            QTextBlockFormat fmt = bodyFormat();
            fmt.setAlignment(Qt::AlignLeft); // long bold leads stretch badly when justified
            fmt.setBottomMargin(docMm(1.2));
            const QTextCharFormat chars = charFormat(11, kText);
            newBlock(fmt, chars, /*keepList=*/true);
            if (!list) {
                QTextListFormat listFormat;
                listFormat.setStyle(QTextListFormat::ListDisc);
                listFormat.setIndent(1);
                list = m_cursor.createList(listFormat);
            } else {
                list->add(m_cursor.block());
            }
            if (!lead.isEmpty()) {
                m_cursor.insertText(lead, charFormat(11, kText, true));
                if (!text.isEmpty())
                    m_cursor.insertText(QStringLiteral(": "), charFormat(11, kText, true));
            }
            m_cursor.insertText(text, chars);
        }
        // A little room after the list before the next paragraph.
        QTextBlockFormat last = m_cursor.blockFormat();
        last.setBottomMargin(docMm(3));
        m_cursor.setBlockFormat(last);
    }

    // A framed, tinted box holding one short bold text with a coloured lead.
    void note(const QString& lead, const QString& text)
    {
        QTextFrameFormat frame;
        frame.setBackground(kNoteFill);
        frame.setBorder(docMm(0.3));
        frame.setBorderBrush(kNoteBorder);
        frame.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        frame.setPadding(docMm(3));
        frame.setTopMargin(docMm(2));
        frame.setBottomMargin(docMm(4));
        m_cursor.insertFrame(frame);
        QTextBlockFormat fmt;
        fmt.setLineHeight(125, QTextBlockFormat::ProportionalHeight);
        m_cursor.setBlockFormat(fmt);
        m_cursor.insertText(lead, charFormat(11, kBlue, true));
        m_cursor.insertText(QStringLiteral(" ") + text, charFormat(11, kText, true));
        m_cursor.movePosition(QTextCursor::End);
        m_reuseBlock = true;
    }

    QList<Chapter>& chapters() { return m_chapters; }
    const QList<QTextBlock>& sections() const { return m_sections; }

private:
    static QTextBlockFormat bodyFormat()
    {
        QTextBlockFormat fmt;
        fmt.setAlignment(Qt::AlignJustify);
        fmt.setLineHeight(125, QTextBlockFormat::ProportionalHeight);
        fmt.setBottomMargin(docMm(2.6));
        return fmt;
    }

    // Starts a new block, reusing the empty block the document (or a frame)
    // leaves behind so that no blank line appears.
    QTextBlock newBlock(const QTextBlockFormat& fmt, const QTextCharFormat& chars,
                        bool keepList = false)
    {
        if (m_reuseBlock) {
            m_cursor.setBlockFormat(fmt);
            m_cursor.setBlockCharFormat(chars);
            m_reuseBlock = false;
        } else {
            m_cursor.insertBlock(fmt, chars);
        }
        if (!keepList) {
            if (QTextList* list = m_cursor.currentList())
                list->remove(m_cursor.block());
            QTextBlockFormat plain = m_cursor.blockFormat();
            plain.setIndent(0);
            m_cursor.setBlockFormat(plain);
        }
        return m_cursor.block();
    }

    QTextCursor m_cursor;
    bool m_reuseBlock = true;
    QList<Chapter> m_chapters;
    QList<QTextBlock> m_sections;
};

// Headings of the subjects of the patient and certificate topics, in the
// order of their paragraphs.
const std::array<const char16_t*, 10> kPatientSections = {
    u"Che cosa contiene la scheda",
    u"Inserire e modificare una scheda",
    u"Questioni in sospeso e pazienti da ricontattare",
    u"Duplicare una scheda",
    u"Modulo per il consenso privacy",
    u"Ricerca dei pazienti",
    u"File allegati e cartella del paziente",
    u"Invio di un'e-mail",
    u"Controllo del codice fiscale e della partita IVA",
    u"Stampa, PDF ed esportazione",
};

const std::array<const char16_t*, 12> kCertificateSections = {
    u"I quattro tipi di certificato",
    u"Inserire e modificare un certificato",
    u"I dati da compilare",
    u"Dati dello studio e del medico",
    u"Duplicare un certificato",
    u"Certificati da completare",
    u"Ricerca dei certificati",
    u"Validità e note a piè di pagina",
    u"Tabella delle discipline sportive",
    u"Ricorso contro la non idoneità",
    u"Anteprima, stampa e PDF",
    u"Esportazione dell'archivio",
};

template <std::size_t N>
void topicWithSections(GuideBuilder& b, const Topic& topic,
                       const std::array<const char16_t*, N>& headings)
{
    for (int i = 0; i < topic.paragraphs.size(); ++i) {
        if (i < int(N))
            b.section(QString::fromUtf16(headings[std::size_t(i)]));
        b.paragraph(topic.paragraphs.at(i));
    }
}

void buildIntroduction(GuideBuilder& b)
{
    const Topic menu = mainMenu();
    const int shared = patients().paragraphs.size() + certificates().paragraphs.size();
    const QStringList closing = menu.paragraphs.mid(1 + shared);

    b.chapter(QStringLiteral("Introduzione"));
    b.paragraph(menu.paragraphs.first());

    b.section(QStringLiteral("Il menu principale"));
    b.paragraph(QStringLiteral(
        "Dopo l'accesso si apre il menu principale. I cinque pulsanti a destra aprono le schede "
        "di lavoro:"));
    b.bullets({
        {QStringLiteral("ARCHIVIO PAZIENTI"),
         QStringLiteral("le schede anagrafiche e cliniche dei pazienti")},
        {QStringLiteral("IDONEITA' ATTIVITA' SPORTIVA NON AGONISTICA"),
         QStringLiteral("certificato non agonistico")},
        {QStringLiteral("IDONEITA' ATTIVITA' SPORTIVA AGONISTICA"),
         QStringLiteral("certificato agonistico")},
        {QStringLiteral("IDONEITA' ATTIVITA' SPORTIVA PER DISABILI"),
         QStringLiteral("certificato agonistico per atleti disabili")},
        {QStringLiteral("NON IDONEITA' ATTIVITA' SPORTIVA AGONISTICA"),
         QStringLiteral("certificato di non idoneità agonistica")},
    });
    b.paragraph(QStringLiteral(
        "Quando chiudi una scheda con il pulsante Esci torni al menu principale. L'icona della "
        "guida, in alto a destra nel menu principale, mostra una sintesi di questo manuale; in "
        "ogni scheda il pulsante Guida spiega le funzioni di quella finestra. Per chiudere il "
        "programma usa l'icona di uscita in basso a destra nel menu principale."));

    b.section(QStringLiteral("Caratteristiche principali"));
    for (const QString& p : closing)
        b.paragraph(p);
}

void buildAccess(GuideBuilder& b)
{
    const QString password = initialPassword();
    b.chapter(QStringLiteral("Primo accesso e password"));
    b.paragraph(QStringLiteral(
        "All'avvio Vornel mostra la finestra di accesso. Digita la password nel campo e premi OK "
        "oppure il tasto Invio: il pulsante OK si attiva non appena inizi a scrivere. Il pulsante "
        "Esci chiude il programma."));
    b.note(QStringLiteral("Password iniziale:"), password);
    b.paragraph(QStringLiteral(
        "Al primo accesso digita la password iniziale. Le lettere senza accento possono essere digitate indifferentemente in maiuscolo o in "
        "minuscolo (%1 e %2 sono la stessa password) e gli spazi all'inizio e alla fine vengono "
        "ignorati; le lettere accentate, invece, vanno digitate esattamente come sono state "
        "scelte. Se la password non è corretta compare il messaggio \"Attenzione: password "
        "errata.\", il campo viene svuotato e puoi riprovare.")
                    .arg(password, password.toUpper()));

    b.section(QStringLiteral("Cambiare la password"));
    b.paragraph(QStringLiteral(
        "Per cambiare la password premi Cambia password nella finestra di accesso. Nella finestra "
        "che si apre scrivi la password attuale nel campo Vecchia password, la nuova password nei "
        "campi Nuova password e Conferma nuova password, poi premi OK. Il tasto Invio ti sposta da "
        "un campo al successivo senza confermare; il pulsante Chiudi annulla l'operazione senza "
        "modificare nulla."));
    b.paragraph(QStringLiteral(
        "La nuova password e la conferma devono coincidere esattamente, anche nelle maiuscole e "
        "nelle minuscole: in caso contrario il programma ti chiede di digitarle di nuovo. Quando "
        "la modifica è riuscita compare il messaggio \"Modifica della password completata con "
        "successo.\" e torni alla finestra di accesso, dove entri con la nuova password."));
    b.paragraph(QStringLiteral(
        "Scegli una password facile da ricordare per te ma non per gli altri, composta da lettere, "
        "cifre e segni di punteggiatura comuni. La password è conservata in forma cifrata nel file "
        "unins000.dll della cartella del programma: non cancellare e non spostare questo file, "
        "perché senza di esso non è possibile accedere al programma."));
}

void buildPatients(GuideBuilder& b)
{
    b.chapter(QStringLiteral("Archivio pazienti"));
    b.paragraph(QStringLiteral(
        "Per aprire l'archivio dei pazienti premi ARCHIVIO PAZIENTI nel menu principale. La scheda "
        "mostra un paziente alla volta; i pulsanti sulla destra e le frecce in basso a destra "
        "servono a inserire, cercare, stampare ed esportare le schede."));
    topicWithSections(b, patients(), kPatientSections);
}

void buildCertificates(GuideBuilder& b)
{
    b.chapter(QStringLiteral("Certificati medici"));
    b.paragraph(QStringLiteral(
        "Le quattro schede dei certificati si aprono dai pulsanti del menu principale e funzionano "
        "tutte allo stesso modo: cambiano soltanto i dati del certificato. Ogni tipo di "
        "certificato ha un proprio archivio."));
    topicWithSections(b, certificates(), kCertificateSections);
}

void buildExport(GuideBuilder& b)
{
    struct Variant {
        ExportKind kind;
        const char16_t* file;
    };
    const std::array<Variant, 5> variants = {{
        {ExportKind::Patients, u"Pazienti.xls"},
        {ExportKind::NonCompetitive, u"Certificati_Non_Agonistici.xls"},
        {ExportKind::Competitive, u"Certificati_Agonistici.xls"},
        {ExportKind::Disabled, u"Certificati_Disabili.xls"},
        {ExportKind::NonFitness, u"Certificati_Non_Idoneita.xls"},
    }};

    b.chapter(QStringLiteral("Esportazione in Excel"));
    b.paragraph(QStringLiteral(
        "Ogni archivio di Vornel può essere esportato in un file di Microsoft Excel: l'archivio dei "
        "pazienti dalla scheda dei pazienti, i certificati dalla scheda di ciascun tipo di "
        "certificato. La finestra di esportazione mostra tutte le schede dell'archivio in una "
        "tabella, e il file viene creato nella cartella del programma, in due formati: il file XLS "
        "(icona di Excel) e la cartella di lavoro XLSX di Excel 2007 e successivi (icona XLSX), che "
        "si apre anche con LibreOffice e con i fogli di calcolo online."));

    for (const Variant& v : variants) {
        const Topic topic = exportTopic(v.kind);
        b.section(topic.title);
        b.paragraph(topic.paragraphs.first());
        const QString xls = QString::fromUtf16(v.file);
        b.bullets({{QStringLiteral("File creati"),
                    xls + QStringLiteral(" e ") + xls.chopped(4) + QStringLiteral(".xlsx")}});
    }

    // The steps are the same for every archive.
    const Topic steps = exportTopic(ExportKind::Patients);
    b.section(QStringLiteral("Creazione e apertura del file"));
    for (const QString& p : steps.paragraphs.mid(1))
        b.paragraph(p);
    b.paragraph(QStringLiteral(
        "Alcune colonne della tabella, come la data di emissione, possono essere corrette prima "
        "dell'esportazione: le modifiche finiscono soltanto nel file Excel e non cambiano "
        "l'archivio."));
    b.paragraph(QStringLiteral(
        "Ogni nuova esportazione dello stesso archivio sostituisce il file precedente: se vuoi "
        "conservarlo, salvalo con un altro nome o in un'altra cartella. Se un messaggio avverte "
        "che non è possibile esportare i dati, controlla che il file non sia ancora aperto nel "
        "programma di fogli di calcolo, chiudilo e ripeti l'esportazione."));
}

const std::array<const char16_t*, 7> kToolSections = {
    u"La finestra Strumenti",
    u"Creare una copia di sicurezza",
    u"Una copia verificata",
    u"Copie protette da password",
    u"Verificare una copia",
    u"Ripristinare da una copia",
    u"Controllare gli archivi",
};

void buildTools(GuideBuilder& b)
{
    b.chapter(QStringLiteral("Copie di sicurezza e controllo degli archivi"));
    topicWithSections(b, tools(), kToolSections);
}

const std::array<const char16_t*, 5> kHistorySections = {
    u"Nessuna modifica va persa",
    u"Dove si trova lo storico",
    u"Vedere le versioni precedenti",
    u"Riportare una versione nella scheda",
    u"Storico, copie e controllo",
};

void buildHistory(GuideBuilder& b)
{
    b.chapter(QStringLiteral("Storico delle modifiche"));
    topicWithSections(b, history(), kHistorySections);
}

// Top of line n of a block, in document coordinates.
qreal lineTop(const QTextDocument& doc, const QTextBlock& block, int n = 0)
{
    const QRectF r = doc.documentLayout()->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return r.top();
    return r.top() + layout->lineAt(std::min(n, layout->lineCount() - 1)).y();
}

qreal lastLineBottom(const QTextDocument& doc, const QTextBlock& block)
{
    const QRectF r = doc.documentLayout()->blockBoundingRect(block);
    const QTextLayout* layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return r.bottom();
    const QTextLine line = layout->lineAt(layout->lineCount() - 1);
    return r.top() + line.y() + line.height();
}

// A line pushed to the next page starts exactly on the page boundary; half a
// device pixel absorbs the rounding of the layout.
int pageOf(qreal y, qreal pageHeight) { return int((y + 0.5) / pageHeight); }

bool breaksBefore(const QTextBlock& block)
{
    return block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
}

// Whether the block leaves a single line at the foot of a page or carries a
// single line over to the next one, or (for a heading) is parted from the
// first two lines of its text.
bool badlySplit(const QTextDocument& doc, const QTextBlock& block, bool heading,
                qreal pageHeight)
{
    if (heading) {
        const QTextBlock next = block.next();
        return next.isValid()
            && pageOf(lineTop(doc, block), pageHeight) != pageOf(lineTop(doc, next, 1), pageHeight);
    }
    const QTextLayout* layout = block.layout();
    const int lines = layout ? layout->lineCount() : 0;
    if (lines < 2)
        return false;
    const int first = pageOf(lineTop(doc, block, 0), pageHeight);
    const int last = pageOf(lineTop(doc, block, lines - 1), pageHeight);
    if (first == last)
        return false;
    return pageOf(lineTop(doc, block, 1), pageHeight) != first
        || pageOf(lineTop(doc, block, lines - 2), pageHeight) != last;
}

// Moves to the next page every section heading that would stay at the foot of
// a page without its text, and every paragraph that would leave one lone line
// behind or carry one over (together with its heading, if it follows one);
// then records where each chapter begins.
void paginate(QTextDocument& doc, GuideBuilder& b, qreal pageHeight)
{
    QSet<int> headings;
    for (const QTextBlock& h : b.sections())
        headings.insert(h.blockNumber());

    for (int pass = 0; pass < 64; ++pass) {
        QTextBlock target;
        for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
            if (QTextCursor(block).currentFrame() != doc.rootFrame())
                continue; // the note boxes are short and never split badly
            const bool heading = headings.contains(block.blockNumber());
            if (!badlySplit(doc, block, heading, pageHeight))
                continue;
            QTextBlock candidate = block;
            if (!heading && headings.contains(block.previous().blockNumber()))
                candidate = block.previous();
            if (breaksBefore(candidate))
                continue; // already at the top of a page: nothing more to do
            target = candidate;
            break;
        }
        if (!target.isValid())
            break;
        QTextBlockFormat fmt = target.blockFormat();
        fmt.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
        fmt.setTopMargin(0);
        QTextCursor(target).setBlockFormat(fmt);
    }
    for (Chapter& ch : b.chapters())
        ch.firstPage = pageOf(lineTop(doc, ch.label), pageHeight);
}

// A small emblem for the cover: a circle holding an ECG trace.
void drawEmblem(QPainter& p, const QPointF& centre, qreal radius)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kBlue, mm(1.6)));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius, radius);

    const qreal u = radius / 10.0;
    const qreal x0 = centre.x() - 8 * u;
    const qreal y0 = centre.y() + u;
    QPainterPath trace;
    trace.moveTo(x0, y0);
    trace.lineTo(x0 + 3.0 * u, y0);
    trace.quadTo(x0 + 3.8 * u, y0 - 1.6 * u, x0 + 4.6 * u, y0);
    trace.lineTo(x0 + 5.4 * u, y0);
    trace.lineTo(x0 + 6.0 * u, y0 + 1.6 * u);
    trace.lineTo(x0 + 7.2 * u, y0 - 7.0 * u);
    trace.lineTo(x0 + 8.4 * u, y0 + 3.2 * u);
    trace.lineTo(x0 + 9.0 * u, y0);
    trace.lineTo(x0 + 10.4 * u, y0);
    trace.quadTo(x0 + 11.6 * u, y0 - 2.4 * u, x0 + 12.8 * u, y0);
    trace.lineTo(x0 + 16.0 * u, y0);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kCrimson, mm(1.3), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(trace);
    p.restore();
}

void drawCover(QPainter& p, const QRectF& page)
{
    p.save();
    p.fillRect(QRectF(0, 0, page.width(), mm(12)), kBlue);
    p.fillRect(QRectF(0, mm(12), page.width(), mm(1.5)), kCrimson);

    QLinearGradient gradient(0, page.height() - mm(95), 0, page.height());
    gradient.setColorAt(0, Qt::white);
    gradient.setColorAt(1, kLightBlue);
    p.fillRect(QRectF(0, page.height() - mm(95), page.width(), mm(95)), gradient);

    drawEmblem(p, QPointF(page.width() / 2, mm(92)), mm(26));

    p.setPen(kBlue);
    p.setFont(font(60, true));
    p.drawText(QRectF(0, mm(128), page.width(), mm(30)), Qt::AlignHCenter | Qt::AlignBottom,
               kProgramName);

    p.setPen(kText);
    p.setFont(font(22));
    p.drawText(QRectF(0, mm(160), page.width(), mm(14)), Qt::AlignHCenter | Qt::AlignVCenter,
               kSubtitle);

    p.fillRect(QRectF((page.width() - mm(40)) / 2, mm(180), mm(40), mm(1.2)), kCrimson);

    p.setPen(kGrey);
    p.setFont(font(13));
    p.drawText(QRectF((page.width() - mm(135)) / 2, mm(188), mm(135), mm(30)),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
               QStringLiteral("Certificati di idoneità e di non idoneità all'attività sportiva, "
                              "archivio dei pazienti ed esportazione dei dati per il medico "
                              "specialista in medicina dello sport"));

    p.setPen(kBlue);
    p.setFont(font(12, true));
    p.drawText(QRectF(0, page.height() - mm(32), page.width(), mm(10)), Qt::AlignCenter,
               QStringLiteral("Manuale per l'utente"));
    p.restore();
}

// Heading of a page drawn by hand (the contents page), in the chapter style.
void drawPageTitle(QPainter& p, const QRectF& body, const QString& title)
{
    p.save();
    p.setPen(kBlue);
    p.setFont(font(24, true));
    const QFontMetricsF fm(p.font(), p.device());
    p.drawText(QPointF(body.left(), body.top() + fm.ascent()), title);
    p.fillRect(QRectF(body.left(), body.top() + fm.height() + mm(3), mm(28), mm(1.2)), kCrimson);
    p.restore();
}

void drawContents(QPainter& p, const QRectF& body, const QList<Chapter>& chapters,
                  int firstBodyPage)
{
    drawPageTitle(p, body, QStringLiteral("Indice"));

    p.save();
    const QFont numberFont = font(13, true);
    const QFont titleFont = font(13);
    const QFontMetricsF fm(titleFont, p.device());
    qreal y = body.top() + mm(34);
    for (int i = 0; i < chapters.size(); ++i) {
        const qreal baseline = y + fm.ascent();
        p.setFont(numberFont);
        p.setPen(kCrimson);
        p.drawText(QPointF(body.left(), baseline), QString::number(i + 1));

        p.setFont(titleFont);
        p.setPen(kText);
        const qreal titleX = body.left() + mm(10);
        p.drawText(QPointF(titleX, baseline), chapters[i].title);

        const QString number = QString::number(firstBodyPage + chapters[i].firstPage);
        const qreal numberWidth = fm.horizontalAdvance(number);
        p.drawText(QPointF(body.right() - numberWidth, baseline), number);

        // Dot leader between the title and the page number.
        const qreal from = titleX + fm.horizontalAdvance(chapters[i].title) + mm(3);
        const qreal to = body.right() - numberWidth - mm(3);
        p.setPen(kGrey);
        const qreal step = mm(2);
        for (qreal x = to - fm.horizontalAdvance(QLatin1Char('.')); x >= from; x -= step)
            p.drawText(QPointF(x, baseline), QStringLiteral("."));
        y += mm(12);
    }

    y += mm(8);
    p.setPen(kGrey);
    p.setFont(font(11));
    p.drawText(QRectF(body.left(), y, body.width(), mm(30)), Qt::TextWordWrap,
               QStringLiteral("Ogni finestra di Vornel ha un pulsante Guida che mostra in breve "
                              "le funzioni di quella finestra. Questo manuale raccoglie tutti "
                              "gli argomenti della guida in linea, con qualche indicazione in "
                              "più."));
    p.restore();
}

void drawHeader(QPainter& p, const QRectF& body, const QString& chapter)
{
    p.save();
    p.setFont(font(8.5));
    p.setPen(kGrey);
    const QRectF band(body.left(), mm(12), body.width(), mm(6));
    p.drawText(band, Qt::AlignLeft | Qt::AlignBottom, kProgramName + QStringLiteral(" - ")
                                                           + kSubtitle);
    p.drawText(band, Qt::AlignRight | Qt::AlignBottom, chapter);
    p.setPen(QPen(kRule, mm(0.25)));
    p.drawLine(QPointF(body.left(), mm(19.5)), QPointF(body.right(), mm(19.5)));
    p.restore();
}

void drawFooter(QPainter& p, const QRectF& page, const QRectF& body, int number, int total)
{
    p.save();
    const qreal lineY = page.height() - mm(17);
    p.setPen(QPen(kRule, mm(0.25)));
    p.drawLine(QPointF(body.left(), lineY), QPointF(body.right(), lineY));
    p.setFont(font(9));
    p.setPen(kGrey);
    p.drawText(QRectF(body.left(), lineY + mm(1.5), body.width(), mm(6)), Qt::AlignCenter,
               QStringLiteral("Pagina %1 di %2").arg(number).arg(total));
    p.restore();
}

// Paints page `index` of the laid-out body into the body rectangle.
void drawBodyPage(QPainter& p, QTextDocument& doc, const QRectF& body, int index,
                  const QList<Chapter>& chapters)
{
    const qreal pageHeight = doc.pageSize().height();
    p.save();
    p.translate(body.left(), body.top() - index * pageHeight);
    const QRectF clip(0, index * pageHeight, body.width(), pageHeight);
    p.setClipRect(clip);
    QAbstractTextDocumentLayout::PaintContext ctx;
    ctx.clip = clip;
    ctx.palette.setColor(QPalette::Text, kText);
    doc.documentLayout()->draw(&p, ctx);

    // The crimson bar under each chapter title starting on this page.
    for (const Chapter& ch : chapters) {
        if (ch.firstPage != index)
            continue;
        const qreal y = lastLineBottom(doc, ch.heading) + mm(3);
        p.fillRect(QRectF(0, y, mm(28), mm(1.2)), kCrimson);
    }
    p.restore();
}

} // namespace

bool writeGuidePdf(const QString& path)
{
    // The program maps Arial to its metric twin at start-up; make sure of it
    // here too, since the manual may be written by a small tool.
    if (!QFont::substitutes(kFontFamily).contains(QStringLiteral("Liberation Sans")))
        QFont::insertSubstitution(kFontFamily, QStringLiteral("Liberation Sans"));

    // The manual is written into memory first and saved in one step, so a
    // failure never leaves a half-written file in place of a good one.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kDpi);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(0, 0, 0, 0)));
        writer.setTitle(kProgramName + QStringLiteral(" - ") + kSubtitle);
        writer.setCreator(kProgramName);

        const QRectF page(0, 0, mm(kPageWidthMm), mm(kPageHeightMm));
        const QRectF body(mm(kMarginLeftMm), mm(kMarginTopMm),
                          page.width() - mm(kMarginLeftMm) - mm(kMarginRightMm),
                          page.height() - mm(kMarginTopMm) - mm(kMarginBottomMm));

        QTextDocument doc;
        doc.documentLayout()->setPaintDevice(&writer);
        doc.setDocumentMargin(0);
        doc.setDefaultFont(font(11));
        doc.setPageSize(body.size());

        GuideBuilder builder(doc);
        buildIntroduction(builder);
        buildAccess(builder);
        buildPatients(builder);
        buildCertificates(builder);
        buildExport(builder);
        buildTools(builder);
        buildHistory(builder);
        paginate(doc, builder, body.height());

        const QList<Chapter>& chapters = builder.chapters();
        constexpr int kFrontPages = 2; // cover and contents
        const int bodyPages = doc.pageCount();
        const int total = kFrontPages + bodyPages;

        QPainter painter;
        if (!painter.begin(&writer))
            return false;
        painter.setRenderHint(QPainter::TextAntialiasing);

        drawCover(painter, page);

        writer.newPage();
        drawContents(painter, body, chapters, kFrontPages + 1);
        drawFooter(painter, page, body, 2, total);

        for (int i = 0; i < bodyPages; ++i) {
            writer.newPage();
            QString chapter;
            for (const Chapter& ch : chapters) {
                if (ch.firstPage <= i)
                    chapter = ch.title;
            }
            drawHeader(painter, body, chapter);
            drawBodyPage(painter, doc, body, i, chapters);
            drawFooter(painter, page, body, kFrontPages + 1 + i, total);
        }
        if (!painter.end())
            return false;
    }
    buffer.close();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(buffer.data()) != buffer.data().size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace vornel::help
