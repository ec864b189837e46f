// The port seen live: the status line that follows it, by the system's
// events or its own watches, one look for many events, and the port
// dialog's list that follows adapters plugged in and pulled out.
#include "fenetre_essai.h"
#include "journal_essai.h"
#include "pont_socat.h"
#include "port/verrous.h"
#include "run/journal.h"
#include "window/dialogue_port.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <poll.h>
#include <sys/file.h>

using namespace tarvik::window;

namespace {

// A source of the system's events that the test sets off itself.
class SourceEssai : public SourceEvenements {
public:
    void annoncer() { Q_EMIT changement(); }
};

// Links and windows made from now on take `source` as their source of
// events (they take ownership of a forwarder to it).
auto avecSource(SourceEssai &source)
{
    return NouvelleSource.remplacer([&source] {
        auto relais = std::make_unique<SourceEssai>();
        QObject::connect(&source, &SourceEvenements::changement, relais.get(),
                         &SourceEssai::annoncer);
        return std::unique_ptr<SourceEvenements>(std::move(relais));
    });
}

} // namespace

class TestSurveillance : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void parEvenements_data();
    void parEvenements();
    void uneRafaleUnRegard();
    void ligneDEtat();
    void listeDuDialogue();
};

void TestSurveillance::parEvenements_data()
{
    QTest::addColumn<bool>("flockTardif"); // the flock comes once the open has been looked at
    QTest::newRow("flock pris avec l'ouverture") << false;
    QTest::newRow("flock pris juste après l'ouverture") << true;
}

// Where udev runs, its events say when to look: the state changes without
// any glancing of its own, and a device that comes back is said. A flock
// makes no event: the device's opening says to look, and to look again a
// moment after, for the flock that follows an open.
void TestSurveillance::parEvenements()
{
    QFETCH(bool, flockTardif);
    SourceEssai source;
    const auto remise = avecSource(source);
    QTemporaryDir verrous; // each look reads it: its opens say when one was made
    const auto dossiers = DossiersVerrou.remplacer({verrous.path()});
    PseudoTerminal pty;
    QTemporaryDir dossier;
    const QString lien = dossier.filePath(QStringLiteral("tarvik-port1"));
    QVERIFY(QFile::link(pty.chemin(), lien));
    SurveillancePort surveillance;
    QVERIFY(surveillance.parEvenements());
    QSignalSpy rebranche(&surveillance, &SurveillancePort::rebranche);
    surveillance.surveiller(PortImpose(lien));
    surveillance.setActive(true);
    QCOMPARE(surveillance.etat().etat, EtatPort::Etat::Pret);

    QVERIFY(QFile::remove(lien));
    source.annoncer();
    QTRY_COMPARE(surveillance.etat().etat, EtatPort::Etat::Absent);
    QVERIFY(QFile::link(pty.chemin(), lien));
    source.annoncer();
    QTRY_COMPARE(surveillance.etat().etat, EtatPort::Etat::Pret);
    QCOMPARE(rebranche.size(), 1);
    QVERIFY(surveillance.rebrancheA().isValid());

    OuverturesVues regards(verrous.path());
    const int avant = regards.nombre();
    const int autre =
        ::open(QFile::encodeName(pty.chemin()).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    if (flockTardif) { // the look the open gives has been made; the next one comes later
        QElapsedTimer chrono;
        chrono.start();
        while (regards.nombre() == avant && chrono.elapsed() < 20000) {
            QCoreApplication::processEvents();
            ::poll(nullptr, 0, 5);
        }
        QVERIFY2(regards.nombre() > avant, "l'ouverture n'a pas été regardée");
        QCOMPARE(surveillance.etat().etat, EtatPort::Etat::Pret);
    }
    QCOMPARE(::flock(autre, LOCK_EX | LOCK_NB), 0);
    QTRY_COMPARE(surveillance.etat().etat, EtatPort::Etat::Occupe);
    ::close(autre);
    QTRY_COMPARE(surveillance.etat().etat, EtatPort::Etat::Pret);
}

// However many events come together, they give one look, and no more
// (each look reads the lock folder: its opens count the looks).
void TestSurveillance::uneRafaleUnRegard()
{
    SourceEssai source;
    const auto remise = avecSource(source);
    QTemporaryDir verrous;
    const auto dossiers = DossiersVerrou.remplacer({verrous.path()});
    PseudoTerminal pty;
    SurveillancePort surveillance;
    surveillance.surveiller(PortImpose(pty.chemin()));
    surveillance.setActive(true);
    QTRY_VERIFY(!surveillance.regardEnAttente());
    OuverturesVues regards(verrous.path());
    for (int i = 0; i < 100; ++i)
        source.annoncer();
    QVERIFY(surveillance.regardEnAttente());
    QTRY_VERIFY(!surveillance.regardEnAttente());
    QCOMPARE(regards.nombre(), 1);
}

// Without udev (here: a socat bridge), the panel's own watches on the
// port's path, its device and the lock folders say when to look while it
// is shown: the link pulled out, put back, or the port taken by
// minicom's lock, each shows on the status line (waited for 10 s at most: a
// loaded machine may be late). A device back again is said until the next
// TEST, and in the journal; nothing is sent.
void TestSurveillance::ligneDEtat()
{
    if (QStandardPaths::findExecutable(QStringLiteral("socat")).isEmpty())
        QSKIP("socat n'est pas installé");
    const auto sansUdev = NouvelleSource.remplacer([] { return nullptr; });
    JournalEssai etat;
    PontSocat pont;
    QVERIFY(pont.valide());
    const QString lien = pont.panneau(), peripherique = pont.peripherique();
    CaptureMessages messages;
    Panneau fenetre;
    fenetre.imposerPort(lien);
    fenetre.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fenetre));
    auto *ligne = controle<QLabel>(fenetre, QStringLiteral("etatPort"));
#define DIT(mot) QTRY_VERIFY_WITH_TIMEOUT(ligne->text().contains(QStringLiteral(mot)), 10000)
    DIT("prêt");
    QVERIFY(ligne->text().contains(lien + QStringLiteral(" → ") + peripherique));

    QVERIFY(QFile::remove(lien));
    DIT("absent");
    QVERIFY(QFile::link(peripherique, lien));
    DIT("rebranché à");
    QVERIFY(ligne->text().contains(QStringLiteral("la carte a pu redémarrer")));
    const QByteArray journal = lireFichier(CheminJournal());
    QVERIFY2(journal.contains("\trebranché\t"), journal.constData());
    QVERIFY(!AnalyserJournal(journal).last().execution.isEmpty()); // an id, as every record has
    QCOMPARE(pont.lire(), QByteArray());                           // nothing sent again

    // A flock, taken by another program on the device.
    const int autre =
        ::open(QFile::encodeName(peripherique).constData(), O_WRONLY | O_NOCTTY | O_NONBLOCK);
    QCOMPARE(::flock(autre, LOCK_EX | LOCK_NB), 0);
    DIT("occupé par tst_surveillanc"); // as /proc/PID/comm cuts it
    ::close(autre);
    DIT("rebranché à");

    const QString verrou =
        QStringLiteral("/run/lock/LCK..") + peripherique.mid(5).replace(u'/', u'_');
    QVERIFY(ecrireFichier(verrou,
                          QByteArray::number(::getppid()).rightJustified(10) + " minicom root\n"));
    const auto retirer = qScopeGuard([&] { QFile::remove(verrou); });
    DIT("occupé par");
#undef DIT
    QVERIFY(messages.vus.isEmpty());
}

// The dialog's list follows the system's ports while it is open; the row
// selected stays so while its port is listed, and the field never changes.
void TestSurveillance::listeDuDialogue()
{
    SourceEssai source;
    const auto remise = avecSource(source);
    QList<PortDecouvert> ports{
        {QStringLiteral("/dev/ttyUSB0"), {}, QStringLiteral("FT232R"), {}, {}, {}, {}},
        {QStringLiteral("/dev/ttyACM0"), {}, QStringLiteral("Arduino"), {}, {}, {}, {}}};
    const auto systeme = EnumerationPorts.remplacer([&] { return ports; });
    DialoguePort dialogue(QStringLiteral("/dev/ttyACM0"));
    auto *liste = dialogue.findChild<QListWidget *>(QStringLiteral("listePorts"));
    auto *champ = dialogue.findChild<QLineEdit *>(QStringLiteral("cheminPort"));
    const auto lignes = [&] {
        QStringList textes;
        for (int k = 1; k < liste->count(); ++k)
            textes << liste->item(k)->data(Qt::UserRole).toString();
        return textes;
    };
    QCOMPARE(lignes(),
             (QStringList{QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyACM0")}));
    QCOMPARE(liste->currentItem()->data(Qt::UserRole).toString(), QStringLiteral("/dev/ttyACM0"));

    ports.removeFirst(); // the first adapter pulled out
    source.annoncer();
    QCOMPARE(lignes(), QStringList{QStringLiteral("/dev/ttyACM0")});
    QCOMPARE(liste->currentItem()->data(Qt::UserRole).toString(), QStringLiteral("/dev/ttyACM0"));
    ports.append({QStringLiteral("/dev/ttyUSB1"), {}, QStringLiteral("CH340"), {}, {}, {}, {}});
    source.annoncer();
    QCOMPARE(lignes(),
             (QStringList{QStringLiteral("/dev/ttyACM0"), QStringLiteral("/dev/ttyUSB1")}));
    QCOMPARE(liste->currentItem()->data(Qt::UserRole).toString(), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(champ->text(), QStringLiteral("/dev/ttyACM0"));
}

QTEST_MAIN(TestSurveillance)
#include "tst_surveillance.moc"
