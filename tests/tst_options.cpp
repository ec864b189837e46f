// The options both programs share, and the built panel answering its own
// without a display.
#include "app/langue.h"
#include "app/options.h"
#include "app/version.h"
#include "locale_essai.h"
#include "octets_essai.h"
#include "programme_essai.h"
#include "pseudo_terminal.h"
#include "system/fichier_reglages.h"

#include <QDir>
#include <QFileInfo>

#include <QCommandLineParser>
#include <QTest>

using namespace tarvik::app;

namespace {

// Whether the main thread of process `pid` waits in its event loop: a
// panel's window is made and shown by then, and what its start set off done.
bool auRepos(qint64 pid)
{
    QFile attente(QStringLiteral("/proc/%1/task/%1/wchan").arg(pid));
    return attente.open(QIODevice::ReadOnly) && attente.readAll().contains("poll");
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void options_data();
    void options();
    void langueDuSysteme_data();
    void langueDuSysteme();
    void programmeSansEcran_data();
    void programmeSansEcran();
    void reglagesLusUneFois_data();
    void reglagesLusUneFois();
};

void TestOptions::options_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("erreur");
    QTest::addColumn<QString>("port");
    // clang-format off
    QTest::newRow("aucune")          << QStringList{} << "" << "";
    QTest::newRow("--port")          << QStringList{"--port", "/dev/ttyUSB0"} << "" << "/dev/ttyUSB0";
    QTest::newRow("--port=")         << QStringList{"--port=/dev/pts/3"} << "" << "/dev/pts/3";
    QTest::newRow("valeur manquante") << QStringList{"--port"} << "valeur manquante après --port" << "";
    QTest::newRow("valeur vide")     << QStringList{"--port="} << "--port demande un périphérique" << "";
    QTest::newRow("option longue")   << QStringList{"--vitesse", "9600"} << "option inconnue : --vitesse" << "";
    QTest::newRow("option courte")   << QStringList{"-x"} << "option inconnue : -x" << "";
    QTest::newRow("--langue deux fois") << QStringList{"--langue", "xx", "--langue", "en"} << "l'option --langue est donnée deux fois" << "";
    QTest::newRow("--port deux fois") << QStringList{"--port=/dev/pts/3", "--port", "/dev/pts/3"} << "l'option --port est donnée deux fois" << "";
    QTest::newRow("-h puis --help")  << QStringList{"-h", "--help"} << "l'option --help est donnée deux fois" << "";
    // clang-format on
}

void TestOptions::options()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, erreur);
    QFETCH(QString, port);
    QCommandLineParser parseur;
    const QString lue = AnalyserOptions(parseur, QStringList{QStringLiteral("tarvik")} + arguments)
                            .value_or(Echec{})
                            .message;
    QVERIFY2(erreur.isEmpty() ? lue.isEmpty() : lue.startsWith(erreur), qPrintable(lue));
    if (erreur.isEmpty())
        QCOMPARE(parseur.value(OptionPort()), port);
}

void TestOptions::langueDuSysteme_data()
{
    QTest::addColumn<QByteArrayList>(
        "variables"); // LC_ALL, LC_MESSAGES, LANG; empty ones set empty
    QTest::addColumn<bool>("anglais");
    // clang-format off
    QTest::newRow("LC_ALL avant LANG")         << QByteArrayList{"en_US.UTF-8", "", "fr_FR.UTF-8"} << true;
    QTest::newRow("LC_ALL français")           << QByteArrayList{"fr_FR.UTF-8", "", "en_US.UTF-8"} << false;
    QTest::newRow("LC_MESSAGES avant LANG")    << QByteArrayList{"", "en_GB", "de_DE.UTF-8"} << true;
    QTest::newRow("LC_ALL avant LC_MESSAGES")  << QByteArrayList{"de_DE", "en_GB", "en_US"} << false;
    QTest::newRow("LANG seule")                << QByteArrayList{"", "", "en_US.UTF-8"} << true;
    QTest::newRow("C")                         << QByteArrayList{"C", "", "en_US.UTF-8"} << false;
    QTest::newRow("POSIX")                     << QByteArrayList{"", "POSIX", "en_US.UTF-8"} << false;
    QTest::newRow("rien")                      << QByteArrayList{"", "", ""} << false;
    // clang-format on
}

// The first of LC_ALL, LC_MESSAGES and LANG that holds something decides.
void TestOptions::langueDuSysteme()
{
    QFETCH(QByteArrayList, variables);
    QFETCH(bool, anglais);
    LocaleEssai locale(variables[2]); // puts all three back afterwards
    qputenv("LC_ALL", variables[0]);
    qputenv("LC_MESSAGES", variables[1]);
    QCOMPARE(LangueDuSysteme() == QLatin1String("en"), anglais);
}

void TestOptions::programmeSansEcran_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("sortie"); // on stdout, or on stderr for code 2
    QTest::newRow("--help") << QStringList{"--help"} << 0 << "--port PERIPHERIQUE";
    QTest::newRow("-h") << QStringList{"-h"} << 0 << "Choisir le port série";
    QTest::newRow("--version") << QStringList{"--version"} << 0 << "tarvik " TARVIK_VERSION;
    QTest::newRow("inconnue") << QStringList{"--vite"} << 2 << "tarvik : option inconnue : --vite";
    QTest::newRow("valeur manquante") << QStringList{"--port"} << 2 << "valeur manquante";
    QTest::newRow("--langue deux fois")
        << QStringList{"--langue", "fr", "--langue", "en"} << 2 << "--langue est donnée deux fois";
    // A file named that cannot be opened: said, and no window.
    QTest::newRow("fichier absent")
        << QStringList{"/tarvik-absent-pour-essai.seq"} << 1
        << "tarvik\u00a0: «\u00a0/tarvik-absent-pour-essai.seq\u00a0» n'a "
           "pas été ouvert\u00a0: le fichier n'existe pas.";
    QTest::newRow("programme absent")
        << QStringList{"/tarvik-absent-pour-essai.prog"} << 1 << "n'a pas été ouvert";
    QTest::newRow("pas un fichier")
        << QStringList{"/dev/null"} << 1 << "ce n'est pas un fichier ordinaire";
    QTest::newRow("deux fichiers")
        << QStringList{"/dev/null", "/dev/null"} << 2 << "argument inattendu";
}

// The built panel answers its options without a display and without a window.
void TestOptions::programmeSansEcran()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, code);
    QFETCH(QString, sortie);
    const Sortie s = lancer(QStringLiteral(TARVIK_BINAIRE), arguments);
    QCOMPARE(s.code, code);
    const QString texte = QString::fromLocal8Bit(code == 0 ? s.sortie : s.erreurs);
    QVERIFY2(texte.contains(sortie), qPrintable(texte));
}

void TestOptions::reglagesLusUneFois_data()
{
    QTest::addColumn<QString>("programme");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("panneau") << TARVIK_BINAIRE << QStringList{};
    QTest::newRow("envoyeur") << TARVIK_ENVOYER
                              << QStringList{QStringLiteral("--verifier"), QStringLiteral("-")};
}

// Each program reads its settings file once as it starts, and goes by what
// it read from then on.
void TestOptions::reglagesLusUneFois()
{
    QFETCH(QString, programme);
    QFETCH(QStringList, arguments);
    const QString fichier = CheminReglages();
    QVERIFY(QDir().mkpath(QFileInfo(fichier).path()));
    QVERIFY(ecrireFichier(fichier, "[General]\nport=/dev/tarvik-absent-pour-essai\n"));
    OuverturesVues ouvertures(fichier);
    QProcess p; // offscreen: the panel's window is made and shown, then it is ended
    p.start(programme, arguments);
    QVERIFY(p.waitForStarted());
    p.write("A+00000:002\nB+00000:002\nC+00000:002\nD+00000:002\nE+00000:002\n"
            "F+00000:002\nG+00000:002\n");
    p.closeWriteChannel();
    if (programme == QLatin1String(TARVIK_BINAIRE)) {
        QVERIFY(QTest::qWaitFor([&] { return auRepos(p.processId()); }, 20000));
        signaler(p.processId(), SIGTERM);
    }
    QVERIFY(p.waitForFinished(20000));
    QVERIFY2(p.exitCode() == 0 || p.exitCode() == 128 + SIGTERM,
             p.readAllStandardError().constData());
    QCOMPARE(ouvertures.nombre(), 1);
}

QTEST_GUILESS_MAIN(TestOptions)
#include "tst_options.moc"
