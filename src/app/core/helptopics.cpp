#include "app/core/helptopics.h"

namespace vornel::help {

namespace {

const QString kParagraphSeparator = QStringLiteral("\r\n\r\n");

// The patient paragraphs, shared by the patient card and the main menu.
const QStringList& patientParagraphs()
{
    static const QStringList paragraphs = {
        QStringLiteral(
            "L'Archivio Pazienti raccoglie una scheda per ogni paziente, con i dati anagrafici e i "
            "recapiti (telefoni, PEC ed e-mail), la professione, l'ASL di appartenenza, il gruppo "
            "sanguigno, il numero della tessera sanitaria, il documento di identità e la situazione "
            "clinica: patologie, interventi subiti, farmaci assunti, allergie e intolleranze, protesi "
            "e handicap psicomotori. I dati dei pazienti possono essere importati nelle schede dei "
            "certificati medici, così non devi digitarli di nuovo."),
        QStringLiteral(
            "Per inserire un nuovo paziente premi il pulsante Nuovo, compila i campi della scheda e "
            "premi Salva. Sono obbligatori il cognome e il nome del paziente, il telefono "
            "preferenziale e il codice fiscale. Per modificare una scheda già in archivio richiamala con le frecce "
            "di scorrimento in basso a destra oppure con il pulsante Trova, apporta le modifiche e "
            "premi di nuovo Salva."),
        QStringLiteral(
            "Nel campo Questioni in sospeso puoi annotare ciò che resta da chiarire con il paziente. "
            "Se spunti la casella Da ricontattare e salvi la scheda, il paziente entra nell'elenco "
            "dei pazienti da ricontattare, che puoi consultare in qualsiasi momento con il pulsante "
            "Da ricontattare; un doppio clic su una voce dell'elenco richiama la scheda."),
        QStringLiteral(
            "Il pulsante Duplica prepara una nuova scheda con gli stessi dati di quella visualizzata: "
            "è comodo quando devi registrare pazienti con dati quasi identici, ad esempio i "
            "componenti di una famiglia che abitano allo stesso indirizzo. Modifica i dati diversi e "
            "premi Salva: la copia viene aggiunta all'archivio come nuova scheda e quella originale "
            "resta com'era. Puoi duplicare soltanto una scheda già salvata in archivio."),
        QStringLiteral(
            "Il pulsante Privacy, accanto al campo Note, prepara il modulo per il consenso al "
            "trattamento dei dati personali e sensibili, già compilato con i dati del paziente e "
            "dello studio medico, da stampare e far firmare a ogni paziente."),
        QStringLiteral(
            "Con il pulsante Trova puoi cercare le schede in archivio usando uno o più filtri "
            "contemporaneamente: ad esempio puoi trovare i pazienti che assumono un certo farmaco, "
            "quelli affetti da una determinata patologia o quelli che hanno una certa parola nel "
            "campo Note. Scrivi una o più parole consecutive nei campi che ti interessano, lascia "
            "vuoti gli altri e premi Cerca; un doppio clic su un risultato richiama la scheda."),
        QStringLiteral(
            "Con il pulsante Allega file puoi collegare alla scheda fino a tre file di qualsiasi "
            "tipo, ad esempio la scansione di un documento, una radiografia o un referto, ciascuno "
            "con una breve descrizione; dopo aver premuto Applica e chiudi ricordati di premere Salva. "
            "Per conservare un numero illimitato di documenti usa il pulsante Associa cartella: ogni "
            "scheda salvata ha una propria cartella, che si apre con Apri cartella e nella quale puoi "
            "copiare o trascinare tutti i file che vuoi."),
        QStringLiteral(
            "Il pulsante accanto al campo E-mail apre il tuo programma di posta elettronica "
            "predefinito con un nuovo messaggio già indirizzato al paziente: ti basta scrivere il "
            "testo e inviarlo."),
        QStringLiteral(
            "I pulsanti accanto ai campi Codice fiscale e Partita IVA controllano la correttezza del "
            "dato inserito e ti comunicano l'esito della verifica con un messaggio."),
        QStringLiteral(
            "Con il pulsante Stampa puoi stampare su carta la scheda del paziente, mentre con Crea "
            "PDF la salvi come documento PDF. Il pulsante Esporta archivio, infine, esporta l'intero "
            "archivio dei pazienti in un file di Microsoft Excel."),
    };
    return paragraphs;
}

// The certificate paragraphs, shared by the four certificate cards and the
// main menu.
const QStringList& certificateParagraphs()
{
    static const QStringList paragraphs = {
        QStringLiteral(
            "Le schede dei certificati medici ti permettono di compilare, stampare e archiviare "
            "quattro tipi di certificato: idoneità all'attività sportiva non agonistica, idoneità "
            "all'attività sportiva agonistica, idoneità all'attività sportiva agonistica per disabili "
            "e non idoneità all'attività sportiva agonistica. I dati del richiedente si importano "
            "dall'Archivio Pazienti con il pulsante a forma di freccia verde, a destra del campo del "
            "nome: cerca il paziente e fai doppio clic sul suo nome nell'elenco."),
        QStringLiteral(
            "Per inserire un nuovo certificato premi il pulsante Nuovo, compila la scheda e premi "
            "Salva. Per modificare un certificato già in archivio richiamalo con le frecce di "
            "scorrimento oppure con la ricerca, apporta le modifiche e premi di nuovo Salva."),
        QStringLiteral(
            "Nella scheda inserisci i dati del richiedente: cognome e nome, luogo e data di nascita e "
            "residenza; nel certificato non agonistico anche la data dell'elettrocardiogramma, nei "
            "certificati agonistici il documento di identità e lo sport. Nei campi a sinistra "
            "inserisci i dati dello studio medico che compaiono nell'intestazione del certificato; in "
            "fondo alla scheda indica il luogo e la data di rilascio, il nome del medico "
            "certificatore e il suo codice identificativo."),
        QStringLiteral(
            "Il nome e il codice del medico certificatore, il luogo di rilascio e i dati "
            "dell'intestazione vengono memorizzati quando esci dalla scheda e riproposti "
            "automaticamente la volta successiva, in tutti i tipi di certificato: non devi digitarli "
            "ogni volta."),
        QStringLiteral(
            "Il pulsante Duplica prepara un nuovo certificato con gli stessi dati di quello "
            "visualizzato: è comodo per rilasciare un altro certificato allo stesso richiedente. "
            "Modifica i dati diversi e premi Salva per aggiungerlo all'archivio come nuovo "
            "certificato."),
        QStringLiteral(
            "Spunta la casella Completato quando consegni il certificato al richiedente, poi salva la "
            "scheda. Il pulsante con il segno di spunta mostra l'elenco dei certificati non ancora "
            "consegnati, ad esempio quelli in attesa del tracciato dell'elettrocardiogramma; un "
            "doppio clic su una voce dell'elenco richiama il certificato."),
        QStringLiteral(
            "Il pulsante con la lente d'ingrandimento cerca i certificati in archivio con uno o più "
            "filtri contemporaneamente: ad esempio tutti i certificati rilasciati alla stessa "
            "persona, nella stessa data o per lo stesso sport."),
        QStringLiteral(
            "Il certificato riporta la data di rilascio e, nei certificati agonistici, la data di "
            "scadenza; quello non agonistico vale un anno dalla data di rilascio. L'idoneità resta "
            "valida salvo la comparsa di malattie o infortuni che la facciano venire meno. Come ricordano le "
            "note a piè di pagina, i certificati non agonistici sono rilasciati dai medici di "
            "medicina generale e dai pediatri di libera scelta per i propri assistiti, dai medici "
            "specialisti in medicina dello sport e dai medici della Federazione Medico Sportiva "
            "Italiana, mentre i certificati agonistici possono essere rilasciati soltanto dai medici "
            "specialisti in medicina dello sport."),
        QStringLiteral(
            "Nei certificati agonistici il pulsante accanto al campo dello sport apre la tabella "
            "delle discipline sportive: un doppio clic sulla disciplina compila il campo."),
        QStringLiteral(
            "Il certificato di non idoneità riporta in calce la nota che ricorda all'interessato la "
            "possibilità di ricorrere contro il giudizio di non idoneità, entro 30 giorni dalla "
            "comunicazione, alla commissione medica regionale d'appello competente."),
        QStringLiteral(
            "Dopo aver salvato il certificato puoi vederne l'anteprima con il pulsante Anteprima "
            "oppure stamparlo direttamente su un foglio A4 con il pulsante Stampa. In entrambe le "
            "finestre il pulsante Salva PDF salva lo stesso foglio in un file PDF, da inviare per "
            "esempio via e-mail alla società sportiva: il nome proposto riporta il tipo di "
            "certificato, l'atleta e la data, e la cartella scelta viene ricordata per la volta "
            "successiva. Se sul computer non è installata nessuna stampante, Stampa lo segnala e "
            "il certificato si può salvare in PDF."),
        QStringLiteral(
            "Il pulsante con l'icona di Excel esporta l'intero archivio dei certificati rilasciati in "
            "un file di Microsoft Excel."),
    };
    return paragraphs;
}

} // namespace

QString Topic::text() const
{
    return paragraphs.join(kParagraphSeparator);
}

QString initialPassword()
{
    return QStringLiteral("vornel");
}

Topic mainMenu()
{
    Topic topic;
    topic.title = QStringLiteral("Uno sguardo a Vornel");
    topic.paragraphs << QStringLiteral(
        "Vornel è il programma pensato per i medici specialisti in medicina dello sport che "
        "rilasciano certificati di idoneità e di non idoneità all'attività sportiva agonistica e non "
        "agonistica. I modelli dei certificati si compilano in pochi istanti importando i dati "
        "dall'archivio dei pazienti, con l'intestazione dello studio medico e il nome e il codice "
        "del medico certificatore già pronti; sono previsti anche i certificati di idoneità "
        "all'attività sportiva agonistica per gli atleti disabili.");
    topic.paragraphs << patientParagraphs();
    topic.paragraphs << certificateParagraphs();
    topic.paragraphs << QStringLiteral(
        "Vornel può funzionare anche in una rete locale: se lo installi in una cartella condivisa, "
        "più postazioni di lavoro possono usare gli stessi archivi.");
    topic.paragraphs << QStringLiteral(
        "Puoi usare Vornel anche da una chiavetta USB: ti basta copiarvi la cartella del programma. "
        "Copiare la cartella del programma su un disco esterno o su una chiavetta è anche il modo "
        "più rapido per fare una copia di sicurezza di tutti gli archivi.");
    topic.paragraphs << QStringLiteral(
        "L'accesso al programma è protetto da una password che puoi cambiare quando vuoi. Al primo "
        "accesso digita la password %1 e premi OK; per sostituirla con una tua password premi "
        "Cambia password nella finestra di accesso.").arg(initialPassword());
    topic.paragraphs << QStringLiteral(
        "Tutti gli archivi possono essere esportati in formato Microsoft Excel, come file XLS o "
        "come cartella di lavoro XLSX, e aperti con qualsiasi programma di fogli di calcolo, ad "
        "esempio OpenOffice, LibreOffice, Microsoft Office o i fogli di calcolo online.");
    topic.paragraphs << QStringLiteral(
        "Vornel è lo strumento ideale per il medico dello sport che vuole rilasciare certificati "
        "completi e in ordine in pochi minuti: è semplice e intuitivo e non richiede praticamente "
        "alcun tempo di apprendimento.");
    return topic;
}

Topic patients()
{
    return {QStringLiteral("App Archivio Pazienti"), patientParagraphs()};
}

Topic certificates()
{
    return {QStringLiteral("App emissione certificati medici"), certificateParagraphs()};
}

Topic exportTopic(ExportKind kind)
{
    QString title;
    QString archive;
    switch (kind) {
    case ExportKind::Patients:
        title = QStringLiteral("Esportazione archivio pazienti in Excel");
        archive = QStringLiteral("i dati anagrafici di tutti i pazienti in archivio");
        break;
    case ExportKind::NonCompetitive:
        title = QStringLiteral("Esportazione archivio certificati medici non agonistici in Excel");
        archive = QStringLiteral("l'intero archivio dei certificati medici non agonistici");
        break;
    case ExportKind::Competitive:
        title = QStringLiteral("Esportazione archivio certificati medici agonistici in Excel");
        archive = QStringLiteral("l'intero archivio dei certificati medici agonistici");
        break;
    case ExportKind::Disabled:
        title = QStringLiteral(
            "Esportazione archivio certificati medici agonistici per disabili in Excel");
        archive = QStringLiteral("l'intero archivio dei certificati medici agonistici per disabili");
        break;
    case ExportKind::NonFitness:
        title = QStringLiteral(
            "Esportazione archivio certificati medici di non idoneità agonistica in Excel");
        archive = QStringLiteral(
            "l'intero archivio dei certificati medici di non idoneità agonistica");
        break;
    }

    Topic topic;
    topic.title = title;
    topic.paragraphs << QStringLiteral(
        "Il pulsante Esporta archivio ti permette di esportare %1 in un foglio di lavoro di "
        "Microsoft Excel, in due formati: il file XLS, che può essere aperto da qualsiasi programma "
        "in grado di leggere i file XLS, ad esempio OpenOffice, LibreOffice o Microsoft Office, e la "
        "cartella di lavoro XLSX di Excel 2007 e successivi, che si apre anche con LibreOffice e con "
        "i fogli di calcolo online.").arg(archive);
    topic.paragraphs << QStringLiteral(
        "Quando si apre la finestra con la tabella dei dati, fai clic sull'icona di Excel per il "
        "file XLS, oppure sull'icona XLSX accanto per il file XLSX, e conferma con Sì: il file con "
        "tutte le schede dell'archivio viene creato subito nella cartella del programma. Alla "
        "domanda successiva rispondi Sì per aprire immediatamente il file. In entrambi i formati "
        "ogni dato resta un testo, esattamente come è scritto nella tabella: gli zeri iniziali dei "
        "numeri di telefono e dei CAP, le date e le note che iniziano con = non vengono trasformati "
        "in numeri, date o formule.");
    topic.paragraphs << QStringLiteral(
        "A questo punto ti basta salvare il file sul disco fisso con il nome che preferisci.");
    return topic;
}

Topic history()
{
    Topic topic;
    topic.title = QStringLiteral("Storico delle modifiche");
    topic.paragraphs << QStringLiteral(
        "Quando premi Salva su una scheda già in archivio, Vornel sostituisce la scheda con i dati che "
        "vedi, senza chiedere conferma. Prima di farlo, però, conserva la scheda com'era nello storico "
        "delle modifiche: nessun dato sovrascritto va perso, anche se hai dimenticato di premere Nuovo "
        "e hai scritto i dati di un'altra persona sopra una scheda salvata.");
    topic.paragraphs << QStringLiteral(
        "Ogni archivio ha il proprio storico, nella cartella del programma: Pazienti_Storico.vrn, "
        "Certificati_Storico.vrn, Certificati_Agonistici_Storico.vrn, Certificati_Disabili_Storico.vrn "
        "e Certificati_Non_Idoneita_Storico.vrn. Per ogni modifica vengono registrati il numero della "
        "scheda, la data e l'ora, il nome del computer da cui è stata salvata e tutti i dati della "
        "scheda prima della modifica. Le nuove schede non entrano nello storico, perché non sostituiscono "
        "nulla; un salvataggio che non cambia niente non aggiunge nulla. Se lo storico non si può "
        "scrivere (ad esempio perché il disco è pieno o la cartella è protetta), la scheda non viene "
        "modificata e compare il messaggio di errore dell'archivio.");
    topic.paragraphs << QStringLiteral(
        "Il pulsante Storico, con l'orologio, si trova su ogni scheda dei pazienti e dei certificati ed "
        "è attivo quando la scheda mostra una scheda salvata in archivio. Apre l'elenco delle versioni "
        "precedenti di quella scheda, dalla più recente: per ognuna la data e l'ora della modifica, il "
        "computer e i campi che la modifica successiva ha cambiato. Se la scheda non è mai stata "
        "modificata, l'elenco lo dice. Con Trova cerchi una parola nell'elenco, con Stampa lo stampi.");
    topic.paragraphs << QStringLiteral(
        "Selezionando una versione, la tabella sotto l'elenco mostra i suoi dati accanto a quelli della "
        "scheda in archivio, con i campi diversi evidenziati. Il pulsante Riporta nella scheda copia la "
        "versione scelta nella scheda, allo stesso numero, e chiude la finestra: l'archivio non cambia "
        "finché non premi Salva. Anche quel salvataggio conserva nello storico la versione che sostituisce, "
        "quindi puoi sempre tornare indietro. Chiudi esce senza cambiare nulla.");
    topic.paragraphs << QStringLiteral(
        "Gli storici fanno parte di ogni copia di sicurezza, della sua verifica e del ripristino, e il "
        "controllo degli archivi li legge insieme agli archivi. Non cancellare e non modificare questi "
        "file: sono la prova di come erano i certificati prima di ogni modifica.");
    return topic;
}

Topic tools()
{
    Topic topic;
    topic.title = QStringLiteral("Strumenti di Vornel");
    topic.paragraphs << QStringLiteral(
        "La finestra Strumenti di Vornel si apre con l'icona degli strumenti nel menu principale, "
        "sotto l'icona della guida. Raccoglie le funzioni che proteggono i dati dello studio: la "
        "copia di sicurezza, la sua verifica, il ripristino da una copia, il controllo degli archivi "
        "e l'elenco dei certificati agonistici in scadenza.");
    topic.paragraphs << QStringLiteral(
        "Il pulsante Crea copia di sicurezza scrive in un unico file ZIP, nella cartella che scegli, "
        "i cinque archivi con i loro storici delle modifiche, le impostazioni dello studio, la password "
        "di accesso, i documenti allegati "
        "e le cartelle dei pazienti. Il nome del file contiene la data e l'ora della copia, ad esempio "
        "Vornel_Copia_2026-03-14_0926.zip. Scegli una chiavetta USB, un disco esterno o una cartella di "
        "rete: una copia sullo stesso disco del programma non ti protegge se il disco si guasta o viene "
        "perso. Il programma ricorda l'ultima cartella scelta.");
    topic.paragraphs << QStringLiteral(
        "Dopo averla scritta, Vornel rilegge tutta la copia e la confronta con l'elenco dei file e dei "
        "loro codici di controllo che vi ha registrato: soltanto allora comunica che la copia è stata "
        "creata e verificata. Gli archivi vengono copiati senza disturbare le altre postazioni: una "
        "scheda salvata da un'altra postazione durante la copia o c'è per intero o non c'è affatto. "
        "Se annulli la copia, se il disco è pieno o se la cartella non è scrivibile, nella cartella "
        "scelta non resta nessun file a metà.");
    topic.paragraphs << QStringLiteral(
        "Se spunti la casella Proteggi la copia con una password, la copia viene cifrata con AES-256 "
        "e si apre soltanto con la password che digiti due volte; la password non viene salvata da "
        "nessuna parte, quindi annotala in un luogo sicuro. Proteggi sempre le copie che porti fuori "
        "dallo studio o che salvi in una cartella sincronizzata con il cloud: contengono dati sanitari.");
    topic.paragraphs << QStringLiteral(
        "Il pulsante Verifica una copia rilegge una copia già fatta e ti dice se è integra oppure "
        "quali file sono danneggiati o mancanti. La verifica non modifica nulla.");
    topic.paragraphs << QStringLiteral(
        "Il pulsante Ripristina da una copia riporta gli archivi e i documenti allo stato della copia "
        "scelta. Prima controlla che la copia sia integra e ti chiede conferma indicando la data della "
        "copia e il numero di pazienti e di certificati che contiene; poi salva i file attuali nella "
        "cartella del programma in una copia chiamata Vornel_Prima_del_ripristino con la data e l'ora, "
        "così anche il ripristino si può annullare. Se qualcosa va storto durante il ripristino, i file "
        "del programma restano esattamente com'erano. I file aggiunti dopo la copia che la copia non "
        "contiene restano al loro posto.");
    topic.paragraphs << QStringLiteral(
        "Il pulsante Controlla gli archivi legge i cinque archivi senza modificarli e ne elenca la "
        "dimensione e il numero di schede, segnalando una scheda incompleta alla fine del file, i campi "
        "con una lunghezza non valida, le caselle Sì/No con valori diversi e, nell'archivio dei pazienti, "
        "i documenti allegati che non si trovano più nella cartella Documenti_Allegati o il cui nome "
        "porta fuori da quella cartella. Legge anche gli storici delle modifiche e segnala le versioni "
        "incomplete o riferite a schede che l'archivio non contiene. L'elenco si stampa con il pulsante Stampa.");
    topic.paragraphs << QStringLiteral(
        "Accanto al pulsante Certificati in scadenza la finestra dice quanti certificati agonistici, "
        "anche per disabili, scadono nei prossimi 30 giorni. Il pulsante apre l'elenco, ordinato per data "
        "di scadenza, con i giorni che mancano, l'atleta, lo sport e il telefono del paziente con lo "
        "stesso nome e la stessa data di nascita (il telefono preferenziale, altrimenti il cellulare, "
        "altrimenti quello di casa). Nel campo Giorni da oggi puoi indicare un altro "
        "periodo e premere Cerca (o Invio); la casella accanto aggiunge i certificati scaduti negli ultimi "
        "12 mesi. Quando un atleta ha rinnovato il certificato per lo stesso sport conta soltanto "
        "l'ultimo emesso; se la data di rilascio di uno dei due non si legge, conta quello salvato per "
        "ultimo. Le date di scadenza scritte in modo non leggibile compaiono in fondo all'elenco con la "
        "scritta data non leggibile, e i certificati che scadono prima della data di rilascio con la "
        "scritta date incoerenti, così nessun certificato sfugge.");
    topic.paragraphs << QStringLiteral(
        "Con un doppio clic su una voce il certificato si apre nella sua scheda. Il pulsante Stampa "
        "stampa l'elenco; i pulsanti Esporta .xls ed Esporta .xlsx lo scrivono nei file di Excel "
        "Certificati_In_Scadenza.xls e Certificati_In_Scadenza.xlsx, nella cartella del programma.");
    return topic;
}

} // namespace vornel::help
