// The board on the desk, end to end: the panel under Xvfb and
// tarvik-envoyer send to tarvik-carte as they would to the board. What the
// board took must be, line for line, what the journal says was sent, with
// no anomaly; a program of the documentation leaves the axes where the
// travel computation says.
#include "carte_essai.h"
#include "core/course.h"
#include "ecran_xvfb.h"
#include "run/journal.h"

#include <QFileInfo>
#include <QStandardPaths>

using namespace tarvik::run;

namespace {

QString xdotool(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

// Every line the journal says went to the port, in order.
QStringList lignesDuJournal()
{
    QFile journal(CheminJournal());
    if (!journal.open(QIODevice::ReadOnly))
        return {};
    QStringList lignes;
    for (const EnregistrementEnvoi &envoi : AnalyserJournal(journal.readAll()))
        lignes << envoi.lignes;
    return lignes;
}

// The program of the documentation's "Fichier de programme": the first
// block of docs/programmes.md.
QByteArray programmeDeLaDocumentation()
{
    QFile doc(QStringLiteral(TARVIK_DOCS "/programmes.md"));
    if (!doc.open(QIODevice::ReadOnly))
        return {};
    const QByteArray texte = doc.readAll();
    const qsizetype debut = texte.indexOf("```\n") + 4;
    return texte.mid(debut, texte.indexOf("```", debut) - debut);
}

} // namespace

class TestCarteBoutEnBout : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void testDuPanneau();
    void programmeDocumente();

private:
    EcranXvfb m_xvfb;
    QString m_ecran;
};

void TestCarteBoutEnBout::initTestCase()
{
    for (const char *outil : {"Xvfb", "xdotool"})
        if (QStandardPaths::findExecutable(QLatin1String(outil)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 n'est pas installé").arg(QLatin1String(outil))));
    m_ecran = m_xvfb.demarrer(170);
    QVERIFY2(!m_ecran.isEmpty(), "Xvfb ne démarre pas");
    qputenv("DISPLAY", m_ecran.toLocal8Bit()); // for xdotool and the panel
}

// Each test finds an empty journal.
void TestCarteBoutEnBout::init()
{
    QFile::remove(CheminJournal());
}

// 100 steps typed for axis A, TEST pressed from the keyboard: the board
// takes the seven lines the journal lists, and A is at +100.
void TestCarteBoutEnBout::testDuPanneau()
{
    CarteLancee carte;
    QVERIFY2(carte.prete(), qPrintable(carte.erreurs()));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    QProcess panneau;
    panneau.setProcessEnvironment(env);
    panneau.start(QStringLiteral(TARVIK_BINAIRE), {QStringLiteral("--port"), carte.lien()});
    QVERIFY(panneau.waitForStarted());
    const QString fenetre = xdotool({QStringLiteral("search"), QStringLiteral("--all"),
                                     QStringLiteral("--sync"), QStringLiteral("--onlyvisible"),
                                     QStringLiteral("--pid"), QString::number(panneau.processId()),
                                     QStringLiteral("--name"), QStringLiteral("^Form1$")})
                                .section(u'\n', 0, 0);
    QVERIFY2(!fenetre.isEmpty(), "la fenêtre Form1 n'apparaît pas");
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), fenetre});
    // From the focus the window opens with (Text1(1)): 21 tabs reach TEST.
    QStringList touches{QStringLiteral("key"),    QStringLiteral("--delay"), QStringLiteral("20"),
                        QStringLiteral("ctrl+a"), QStringLiteral("1"),       QStringLiteral("0"),
                        QStringLiteral("0")};
    for (int k = 0; k < 21; ++k)
        touches << QStringLiteral("Tab");
    xdotool(touches << QStringLiteral("space"));
    QVERIFY2(carte.attendreCommandes(7), qPrintable(carte.erreurs()));
    QVERIFY(QTest::qWaitFor([] { return lignesDuJournal().size() >= 7; }, 30000));
    signaler(panneau.processId(), SIGTERM);
    QVERIFY(panneau.waitForFinished(20000));
    QCOMPARE(carte.arreter(), 128 + SIGTERM);
    QCOMPARE(carte.anomalies(), QStringList());
    QCOMPARE(carte.commandes(), lignesDuJournal());
    QCOMPARE(carte.commandes().value(0), QStringLiteral("A+00100:002"));
    QCOMPARE(carte.position('A'), 100);
}

// The documentation's program, sent by tarvik-envoyer: the board takes
// every line of every step the journal lists, and each axis ends where
// the travel computation puts it.
void TestCarteBoutEnBout::programmeDocumente()
{
    const QByteArray texte = programmeDeLaDocumentation();
    const ProgrammeAnalyse lu = AnalyserProgramme(texte);
    QVERIFY2(lu.programme, texte.constData());
    QVERIFY(lu.programme->repetitions > 1); // the travel adds up over cycles
    QTemporaryDir dossier;
    QFile fichier(dossier.filePath(QStringLiteral("prise.prog")));
    QVERIFY(fichier.open(QIODevice::WriteOnly) && fichier.write(texte) == texte.size());
    fichier.close();
    CarteLancee carte;
    QVERIFY2(carte.prete(), qPrintable(carte.erreurs()));
    QProcess envoyeur;
    envoyeur.start(QStringLiteral(TARVIK_ENVOYER),
                   {fichier.fileName(), QStringLiteral("--port"), carte.lien()});
    QVERIFY(envoyeur.waitForFinished(120000));
    QVERIFY2(envoyeur.exitCode() == 0, envoyeur.readAllStandardError().constData());
    const qsizetype lignes = qsizetype(lu.programme->etapes.size()) * lu.programme->repetitions * 7;
    QVERIFY(carte.attendreCommandes(lignes));
    QCOMPARE(carte.arreter(), 128 + SIGTERM);
    QCOMPARE(carte.anomalies(), QStringList());
    QCOMPARE(carte.commandes(), lignesDuJournal());
    QCOMPARE(carte.commandes().size(), lignes);
    const Course course(*lu.programme, 0, lu.programme->repetitions);
    for (int numero = 1; numero <= 7; ++numero)
        QCOMPARE(carte.position(char('A' + numero - 1)), course.axe(numero).arrivee.value_or(-1));
}

QTEST_GUILESS_MAIN(TestCarteBoutEnBout)
#include "tst_carte_bout_en_bout.moc"
