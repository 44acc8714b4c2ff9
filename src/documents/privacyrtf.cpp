#include "documents/privacyrtf.h"

#include "storage/cp1252.h"
#include "storage/text.h"

namespace vornel::privacyrtf {

namespace {

// Fixed text of the document; every character of it exists in Windows-1252.
QByteArray F(const char16_t* text)
{
    return cp1252::encode(QStringView(text));
}

} // namespace

QByteArray insertValue(const QString& value)
{
    const QString text = trimmed(value);
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += '\\';
            out += char(u);
            continue;
        }
        const int b = cp1252::encodeChar(c);
        if (b >= 0) {
            out += char(b);
            continue;
        }
        // \uN takes a signed 16-bit number; the document declares \uc1, so
        // one fallback character follows for readers without Unicode.
        out += "\\u" + QByteArray::number(qint16(u)) + '?';
    }
    return out;
}

QList<QByteArray> pieces(const Values& v)
{
    auto V = [](const QString& s) { return insertValue(s); };
    QList<QByteArray> p;
    p.reserve(50);
    // 1-6: header, fonts, colours, title, subtitle, rule.
    p << F(uR"({\rtf1\ansi\ansicpg1252\deff0\deflang1040{\fonttbl{\f0\froman\fprq2\fcharset0 Times New Roman;}{\f1\fnil Verdana;}})");
    p << F(uR"({\colortbl ;\red0\green0\blue0;})");
    p << F(uR"(\viewkind4\uc1\pard\qc\b\f0\fs40 Consenso al trattamento dei dati personali e sensibili)");
    p << F(uR"(\par \b0\fs28 (Informativa ai sensi del Regolamento UE 2016/679))");
    p << F(uR"(\par ______________________________________________________)");
    p << F(uR"(\par)");
    // 7: the office and the patient.
    p << F(uR"(\par \pard\qj\fs24 Ai sensi del Regolamento UE 2016/679 (Regolamento Generale sulla Protezione dei Dati - General Data Protection Regulation - GDPR), il presente Studio Medico \b )")
             + V(v.txtStudioDent) + F(uR"(\b0 , con)") + F(uR"( sede a \b )") + V(v.txtCittaDent)
             + F(uR"(\b0  (\b )") + V(v.txtProvDent) + F(uR"(\b0 ), CAP: \b )") + V(v.txtCapDent)
             + F(uR"(\b0 , in \b )") + V(v.txtIndirizzoDent) + F(uR"(\b0 , codice fiscale: \b )")
             + V(v.txtCodFiscDent) + F(uR"(\b0 , partita)") + F(uR"( IVA: \b )") + V(v.txtIvaDent)
             + F(uR"(\b0 , recapiti telefonici: \b )") + V(v.txtTelDent)
             + F(uR"(\b0 , informa che i dati anagrafici e sanitari qualificati come personali dalla legge (ivi compresi dati personali inerenti allo stato di salute,)")
             + F(uR"( alla vita sessuale e all'origine razziale ed etnica), ad esso forniti dal Paziente Sig. \b )")
             + V(v.txtPaziente) + F(uR"(\b0 , nato a \b )") + V(v.txtComuneNasc) + F(uR"(\b0  (\b )")
             + V(v.txtProvNasc) + F(uR"(\b0 ) il \b )") + V(v.txtDataNasc) + F(uR"(\b0 , residente)")
             + F(uR"( a \b )") + V(v.txtComuneRes) + F(uR"(\b0  (\b )") + V(v.txtProvRes)
             + F(uR"(\b0 ), CAP: \b )") + V(v.txtCapRes) + F(uR"(\b0  in \b )") + V(v.txtIndirizzo)
             + F(uR"(\b0 , codice)") + F(uR"( fiscale: \b )") + V(v.txtCodFisc)
             + F(uR"(\b0 , recapito telefonico: \b )") + V(v.txtRecapito)
             + F(uR"(\b0 , saranno trattati come di seguito descritto:)");
    p << F(uR"(\par)");
    // 9-10: purposes and means.
    p << F(uR"(\par \b 1. Finalit\'e0 e modalit\'e0 del trattamento cui sono destinati i dati.)");
    p << F(uR"(\par \b0 I dati vengono trattati in relazione alle esigenze contrattuali ed ai conseguenti adempimenti degli obblighi legali e fiscali, nonch\'e9 per consentire un'efficace gestione dei rapporti amministrativi e contabili. I dati sono raccolti e conservati su supporto cartaceo ed elettronico, protetti da misure di sicurezza idonee ad impedirne la perdita, l'uso illecito o l'accesso non autorizzato. I dati sono conservati per tutta la durata del rapporto professionale e, successivamente, per il tempo necessario all'adempimento degli obblighi di legge e fiscali.)");
    p << F(uR"(\par)");
    // 12-13: giving the data.
    p << F(uR"(\par \b 2. Natura obbligatoria o facoltativa del conferimento e conseguenze al rifiuto del consenso.)");
    p << F(uR"(\par \b0 Il conferimento dei dati \'e8 obbligatorio per tutto quanto richiesto dagli obblighi legali e contrattuali; l'eventuale rifiuto a fornirli, in tutto o in parte, pu\'f2 comportare l'impossibilit\'e0 per lo Studio Medico di erogare al Paziente le prestazioni richieste. Il conferimento degli altri dati, non riconducibili ad obblighi legali o contrattuali, viene valutato di volta in volta in rapporto all'importanza dei dati richiesti per la gestione del rapporto professionale.)");
    p << F(uR"(\par)");
    // 15-16: recipients.
    p << F(uR"(\par \b 3. Soggetti che possono venire a conoscenza dei dati.)");
    p << F(uR"(\par \b0 I soggetti o le categorie di soggetti ai quali i dati personali possono essere comunicati, nei limiti strettamente necessari alle finalit\'e0 indicate, sono: medici sostituti, laboratori di analisi, medici specialisti, farmacisti, strutture ospedaliere, case di cura private e consulenti fiscali; enti pubblici e altri soggetti nei casi previsti dalla legge; fornitori di servizi con sede in Italia incaricati della gestione e della manutenzione dei sistemi informatici dello Studio. I dati non vengono diffusi n\'e9 trasferiti all'estero. Possono venire a conoscenza dei dati, in qualit\'e0 di incaricati del trattamento, il personale di segreteria e i collaboratori dello Studio Medico, tutti tenuti al segreto professionale e d'ufficio.)");
    p << F(uR"(\par)");
    // 18-19: rights.
    p << F(uR"(\par \b 4. Diritti degli interessati.)");
    p << F(uR"(\par \b0 Relativamente ai propri dati, gli interessati possono esercitare i diritti previsti dal Regolamento Generale sulla Protezione dei Dati (General Data Protection Regulation - GDPR) nei limiti ed alle condizioni previste dagli articoli dal medesimo Regolamento.)");
    p << F(uR"(\par)");
    // 21-22: the data controller.
    p << F(uR"(\par \b 5. Titolare del trattamento dati.)");
    p << F(uR"(\par \b0 Titolare del trattamento dei dati, nonch)" u"\u00e9" uR"( Responsabile del trattamento e Responsabile protezione dati (RPD) o Data Protection Officer (DPO) )" u"\u00e8" uR"( lo Studio Medico, rappresentato dal Dott. \b )")
             + V(v.txtPrivacy) + F(uR"(\b0 , domiciliato per la carica nella sede dello stesso Studio.)");
    p << F(uR"(\par)");
    // 24-25: consent.
    p << F(uR"(\par \pard\qc\b Consenso dell'interessato)");
    p << F(uR"(\par \pard\qj\b0 Preso atto dell'informativa ricevuta ai sensi del Regolamento UE 2016/679, il Paziente acconsente al trattamento dei propri dati personali nei limiti e per le finalit\'e0 indicati nell'informativa stessa, consapevole che il mancato consenso comporta l'impossibilit\'e0 per lo Studio Medico di erogare le prestazioni richieste. Il consenso al trattamento dei dati sensibili, in particolare di quelli idonei a rivelare lo stato di salute, \'e8 espresso in forma scritta. I dati clinici sono conservati per il tempo previsto dalla normativa sanitaria; i dati amministrativi e fiscali per il tempo previsto dalla normativa fiscale, di norma dieci anni.)");
    p << F(uR"(\par)");
    // 27-31: right of access and other rights.
    p << F(uR"(\par \pard\qc\b Diritto di accesso ai dati personali ed altri diritti)");
    p << F(uR"(\par \pard\qj 1.\b0  Il Paziente ha diritto di ottenere la conferma dell'esistenza o meno di dati personali che lo riguardano, anche se non ancora registrati, e la loro comunicazione in forma intelligibile.)");
    p << F(uR"(\par \b 2.\b0  Il Paziente ha diritto di ottenere l'indicazione: a) dell'origine dei dati personali; b) delle finalit\'e0 e modalit\'e0 del trattamento; c) della logica applicata in caso di trattamento effettuato con l'ausilio di strumenti elettronici; d) degli estremi identificativi del titolare e dei responsabili del trattamento; e) dei soggetti o delle categorie di soggetti ai quali i dati personali possono essere comunicati o che possono venirne a conoscenza.)");
    p << F(uR"(\par \b 3.\b0  Il Paziente ha diritto di ottenere: a) l'aggiornamento, la rettificazione ovvero, quando vi ha interesse, l'integrazione dei dati; b) la cancellazione, la trasformazione in forma anonima o il blocco dei dati trattati in violazione di legge, compresi quelli di cui non \'e8 necessaria la conservazione in relazione agli scopi per i quali sono stati raccolti o successivamente trattati; c) l'attestazione che le operazioni di cui alle lettere a) e b) sono state portate a conoscenza di coloro ai quali i dati sono stati comunicati, salvo che ci\'f2 si riveli impossibile o comporti un impiego di mezzi manifestamente sproporzionato rispetto al diritto tutelato; d) la portabilit\'e0 dei dati che lo riguardano.)");
    p << F(uR"(\par \b 4.\b0  Il Paziente ha diritto di opporsi, in tutto o in parte: a) per motivi legittimi al trattamento dei dati personali che lo riguardano, ancorch\'e9 pertinenti allo scopo della raccolta; b) al trattamento dei dati personali che lo riguardano a fini di invio di materiale pubblicitario o di vendita diretta, per il compimento di ricerche di mercato o di comunicazione commerciale. Il Paziente ha inoltre diritto di revocare in qualsiasi momento il consenso prestato e di proporre reclamo all'autorit\'e0 di controllo (Garante per la protezione dei dati personali).)");
    p << F(uR"(\par)");
    // 33-35: the patient's declaration.
    p << F(uR"(\par \pard\qc\b DICHIARAZIONE DEL PAZIENTE)");
    p << F(uR"(\par)");
    p << F(uR"(\par \pard\qj\b0 Io sottoscritto \b )") + V(v.txtPaziente) + F(uR"(\b0 , nato a \b )") + V(v.txtComuneNasc)
             + F(uR"(\b0  (\b )") + V(v.txtProvNasc) + F(uR"(\b0 ) il)") + F(uR"( \b )") + V(v.txtDataNasc)
             + F(uR"(\b0 , residente a \b )") + V(v.txtComuneRes) + F(uR"(\b0  (\b )") + V(v.txtProvRes)
             + F(uR"(\b0 ), CAP: \b )") + V(v.txtCapRes) + F(uR"(\b0  in \b )") + V(v.txtIndirizzo)
             + F(uR"(\b0 , codice)") + F(uR"( fiscale: \b )") + V(v.txtCodFisc)
             + F(uR"(\b0 , esprimo il mio libero consenso al trattamento dei dati personali e particolari. A tal fine dichiaro di essere stato informato su:)");
    // 36-40: what the patient was told.
    p << F(uR"(\par \b 1)\b0  le finalit\'e0 e le modalit\'e0 del trattamento cui sono destinati i dati, connesse alle attivit\'e0 di prevenzione, diagnosi, cura e riabilitazione svolte a tutela della mia salute;)");
    p << F(uR"(\par \b 2)\b0  i soggetti o le categorie di soggetti ai quali i dati personali possono essere comunicati: medici sostituti, laboratori di analisi, medici specialisti, farmacisti, strutture ospedaliere, case di cura private e consulenti fiscali;)");
    p << F(uR"(\par \b 3)\b0  il diritto di accesso ai dati personali, con la facolt\'e0 di chiederne l'aggiornamento, la rettifica, l'integrazione e la cancellazione, e di opporsi al loro trattamento a fini di informazione commerciale;)");
    p << F(uR"(\par \b 4)\b0  il nome del medico che sar\'e0 titolare del trattamento dei dati personali domiciliato per la carica nella sede di questo Studio Medico;)");
    p << F(uR"(\par \b 5)\b0  la necessit\'e0 di fornire i dati richiesti per poter ottenere l'erogazione di prestazioni mediche adeguate.)");
    // 41: the consent sentence.
    p << F(uR"(\par Con la presente, esprimo il mio consenso al trattamento dei dati personali e sensibili al Dottor \b )")
             + V(v.txtPrivacy) + F(uR"(\b0  esclusivamente per le attivit\'e0 di prevenzione,)")
             + F(uR"( diagnosi, cura e riabilitazione svolte a tutela della mia salute.)");
    p << F(uR"(\par)");
    // 43: place and date.
    p << F(uR"(\par \b )") + V(v.txtLuogo) + F(uR"(\b0 , \b )") + V(v.txtData) + F(uR"(\b0 .)");
    p << F(uR"(\par)");
    // 45-50: signature and end.
    p << F(uR"(\par \pard\qr\b Firma del Paziente per accettazione)");
    p << F(uR"(\par)");
    p << F(uR"(\par _______________________________)");
    p << F(uR"(\par \b0)");
    p << F(uR"(\par \pard\cf1\b\f1)");
    p << F(uR"(\par })");
    Q_ASSERT(p.size() == 50);
    return p;
}

QByteArray document(const Values& values)
{
    QByteArray out;
    for (const QByteArray& piece : pieces(values))
        out += piece;
    return out;
}

} // namespace vornel::privacyrtf
