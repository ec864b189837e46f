// The board's faults on purpose, as the panel and the sender meet them: a
// stalled board fills the line until the run gives up at its deadline; an
// unplugged one is said on the panel's status line, and so is its return.
#include "carte_essai.h"
#include "fenetre_essai.h"

#include <QLabel>

namespace {

// A program of `etapes` steps of the initial grid, with no wait.
QByteArray programmeLong(int etapes)
{
    QByteArray texte = "programme tarvik 1\n";
    for (int k = 0; k < etapes; ++k) {
        texte += "etape\n";
        for (char axe = 'A'; axe <= 'G'; ++axe)
            texte += axe + QByteArray("+00001:002\n");
        if (k + 1 < etapes)
            texte += "attendre 0\n";
    }
    return texte;
}

} // namespace

class TestCartePannes : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bloquee();
    void debranchee_data();
    void debranchee();
};

// A board that stops reading after 7 lines: the sender's later steps fill
// the line, and its run ends on its deadline, a write that takes no more.
void TestCartePannes::bloquee()
{
    CarteLancee carte({QStringLiteral("--bloque-apres"), QStringLiteral("7")});
    QVERIFY2(carte.prete(), qPrintable(carte.erreurs()));
    QTemporaryDir dossier;
    QFile fichier(dossier.filePath(QStringLiteral("long.prog")));
    QVERIFY(fichier.open(QIODevice::WriteOnly) && fichier.write(programmeLong(1000)) > 0);
    fichier.close();
    QProcess envoyeur;
    envoyeur.start(QStringLiteral(TARVIK_ENVOYER),
                   {fichier.fileName(), QStringLiteral("--port"), carte.lien()});
    QVERIFY(envoyeur.waitForFinished(120000));
    const QString erreurs = QString::fromUtf8(envoyeur.readAllStandardError());
    QCOMPARE(envoyeur.exitCode(), 4);
    QVERIFY2(erreurs.contains(QStringLiteral("délai dépassé")), qPrintable(erreurs));
    QCOMPARE(carte.arreter(), 128 + SIGTERM);
    QCOMPARE(carte.lignes().size(), 7);
    QCOMPARE(carte.commandes().size(), 7);
}

void TestCartePannes::debranchee_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("dit");
    QTest::newRow("débranchée") << QStringList{QStringLiteral("--debranche-apres"),
                                               QStringLiteral("7")}
                                << QStringLiteral("\u00a0: absent");
    QTest::newRow("rebranchée") << QStringList{QStringLiteral("--debranche-apres"),
                                               QStringLiteral("7"),
                                               QStringLiteral("--rebranche-apres"),
                                               QStringLiteral("0.5")}
                                << QStringLiteral("rebranché à ");
}

// The panel sends its seven lines, the board takes them and goes away as
// an adapter pulled out; the status line says so, and then that it is
// back.
void TestCartePannes::debranchee()
{
    QFETCH(QStringList, options);
    QFETCH(QString, dit);
    CarteLancee carte(options);
    QVERIFY2(carte.prete(), qPrintable(carte.erreurs()));
    CaptureMessages messages;
    Panneau fenetre;
    fenetre.imposerPort(carte.lien());
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    cliquerTest(fenetre);
    // Seven lines, or the resync line feed and six when a run cut short on
    // an earlier terminal of the same number left its mark.
    QVERIFY2(QTest::qWaitFor([&] { return carte.lignes().size() >= 7; }, 30000),
             qPrintable(carte.erreurs()));
    const auto *etat = controle<QLabel>(fenetre, QStringLiteral("etatPort"));
    QTRY_VERIFY_WITH_TIMEOUT(etat->text().contains(dit), 5000);
    for (const MessageVu &vu : messages.vus)
        QVERIFY2(vu.genre != GenreMessage::Erreur, qPrintable(vu.texte));
}

QTEST_MAIN(TestCartePannes)
#include "tst_carte_pannes.moc"
