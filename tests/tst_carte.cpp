// The virtual board's own parts: its strict reading of byte streams, where
// its axes are, its JSON lines, and its end of the line with its link.
#include "carte/etat_carte.h"
#include "carte/port_carte.h"
#include "core/limites.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

using namespace tarvik::carte;

namespace {

// A line as the table writes it: "commande:A:+:100:2", "ligne_vide", or
// the anomaly's code and the bytes ("ligne_coupee:D+00").
QString decrire(const LigneRecue &l)
{
    switch (l.genre) {
    case LigneRecue::Genre::Commande:
        return QStringLiteral("commande:%1:%2:%3:%4")
            .arg(QLatin1Char(l.axe))
            .arg(QLatin1Char(l.direction))
            .arg(l.pas)
            .arg(l.vitesse);
    case LigneRecue::Genre::LigneVide:
        return QStringLiteral("ligne_vide");
    case LigneRecue::Genre::Anomalie:
        break;
    }
    return CodeAnomalie(*l.anomalie) + u':' + OctetsLisibles(l.octets);
}

// Every line `flux` gives, read in pieces of `morceau` bytes (0: at once).
QStringList lire(LecteurCarte &lecteur, const QByteArray &flux, int morceau)
{
    QStringList lignes;
    const int pas = morceau > 0 ? morceau : int(qMax<qsizetype>(1, flux.size()));
    for (qsizetype debut = 0; debut < flux.size(); debut += pas)
        for (const char octet : flux.mid(debut, pas))
            if (const auto ligne = lecteur.ajouter(octet))
                lignes << decrire(*ligne);
    return lignes;
}

// 10,000 commands on every axis, both ways, every digit.
std::pair<QByteArray, QStringList> dixMilleLignes()
{
    QByteArray flux;
    QStringList attendu;
    for (int k = 0; k < 10000; ++k) {
        const char axe = char('A' + k % 7), direction = k % 3 ? '+' : '-';
        const int pas = (k * 7919) % 100000, vitesse = k % 256;
        flux += axe + QByteArray(1, direction) + QByteArray::number(pas).rightJustified(5, '0') +
                ':' + QByteArray::number(vitesse).rightJustified(3, '0') + '\n';
        attendu << QStringLiteral("commande:%1:%2:%3:%4")
                       .arg(QLatin1Char(axe))
                       .arg(QLatin1Char(direction))
                       .arg(pas)
                       .arg(vitesse);
    }
    return {flux, attendu};
}

} // namespace

class TestCarte : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lecture_data();
    void lecture();
    void positions();
    void json_data();
    void json();
    void lien_data();
    void lien();
    void branchement();
};

void TestCarte::lecture_data()
{
    QTest::addColumn<QByteArray>("flux");
    QTest::addColumn<int>("morceau");
    QTest::addColumn<QStringList>("attendu");
    QTest::addColumn<QByteArray>("reste"); // the line still under way

    const QByteArray sequence = "A+00100:002\nB-00050:010\nC+00000:002\nD+99999:255\n"
                                "E+00000:000\nF-00001:002\nG+00000:002\n";
    const QStringList sept{"commande:A:+:100:2",     "commande:B:-:50:10", "commande:C:+:0:2",
                           "commande:D:+:99999:255", "commande:E:+:0:0",   "commande:F:-:1:2",
                           "commande:G:+:0:2"};
    QTest::newRow("séquence") << sequence << 0 << sept << QByteArray();
    QTest::newRow("octet par octet") << sequence << 1 << sept << QByteArray();
    QTest::newRow("morceaux de 5") << sequence << 5 << sept << QByteArray();
    QTest::newRow("axe inconnu") << QByteArray("H+00100:002\n") << 0
                                 << QStringList{"axe_inconnu:H+00100:002"} << QByteArray();
    QTest::newRow("axe en minuscule") << QByteArray("a+00100:002\n") << 0
                                      << QStringList{"axe_inconnu:a+00100:002"} << QByteArray();
    QTest::newRow("direction inconnue")
        << QByteArray("A*00100:002\n") << 0 << QStringList{"direction_inconnue:A*00100:002"}
        << QByteArray();
    QTest::newRow("direction blanche")
        << QByteArray("A 00100:002\n") << 0 << QStringList{"direction_inconnue:A 00100:002"}
        << QByteArray();
    QTest::newRow("lettre parmi les pas")
        << QByteArray("A+0010x:002\n") << 0 << QStringList{"chiffres:A+0010x:002"} << QByteArray();
    QTest::newRow("séparateur") << QByteArray("A+00100;002\n") << 0
                                << QStringList{"chiffres:A+00100;002"} << QByteArray();
    QTest::newRow("vitesse 256") << QByteArray("A+00100:256\n") << 0
                                 << QStringList{"chiffres:A+00100:256"} << QByteArray();
    QTest::newRow("trop courte") << QByteArray("A+0100:002\n") << 0
                                 << QStringList{"longueur:A+0100:002"} << QByteArray();
    QTest::newRow("trop longue") << QByteArray("A+001000:002\n") << 0
                                 << QStringList{"longueur:A+001000:002"} << QByteArray();
    QTest::newRow("CRLF") << QByteArray("A+00100:002\r\n") << 0
                          << QStringList{"longueur:A+00100:002\\x0d"} << QByteArray();
    QTest::newRow("ligne collée") << QByteArray("D+00A+00001:001\n") << 0
                                  << QStringList{"ligne_coupee:D+00", "commande:A:+:1:1"}
                                  << QByteArray();
    QTest::newRow("ligne collée, octet par octet")
        << QByteArray("D+00A+00001:001\n") << 1
        << QStringList{"ligne_coupee:D+00", "commande:A:+:1:1"} << QByteArray();
    QTest::newRow("coupée à la direction")
        << QByteArray("AB+00001:001\n") << 0 << QStringList{"ligne_coupee:A", "commande:B:+:1:1"}
        << QByteArray();
    QTest::newRow("remise en phase")
        << QByteArray("\nA+00100:002\n") << 0 << QStringList{"ligne_vide", "commande:A:+:100:2"}
        << QByteArray();
    QTest::newRow("fragment puis remise en phase")
        << QByteArray("A+001\nA+00100:002\n") << 3
        << QStringList{"longueur:A+001", "commande:A:+:100:2"} << QByteArray();
    QTest::newRow("hors ASCII") << QByteArray("A\x80"
                                              "00100:002\n")
                                << 0 << QStringList{"hors_ascii:A\\x8000100:002"} << QByteArray();
    QTest::newRow("hors ASCII seul")
        << QByteArray("\xe9\n") << 0 << QStringList{"hors_ascii:\\xe9"} << QByteArray();
    QTest::newRow("hors ASCII avant une lettre")
        << QByteArray("A+\xff"
                      "B+00001:001\n")
        << 0 << QStringList{"hors_ascii:A+\\xff", "commande:B:+:1:1"} << QByteArray();
    QTest::newRow("octet nul") << QByteArray("A+00\x00"
                                             "00:002\n",
                                             12)
                               << 0 << QStringList{"chiffres:A+00\\x0000:002"} << QByteArray();
    QTest::newRow("sans saut de ligne")
        << QByteArray("A+00100:002") << 4 << QStringList{} << QByteArray("A+00100:002");
    QTest::newRow("sans fin") << QByteArray(70, 'x') + '\n'
                              << 9
                              << QStringList{"longueur:" + QString(64, u'x'),
                                             "longueur:" + QString(6, u'x')}
                              << QByteArray();
    const auto [flux, attendu] = dixMilleLignes();
    QTest::newRow("10 000 lignes, par morceaux de 13") << flux << 13 << attendu << QByteArray();
}

// Each line is judged once it ends, the same however the bytes are cut.
void TestCarte::lecture()
{
    QFETCH(QByteArray, flux);
    QFETCH(int, morceau);
    QFETCH(QStringList, attendu);
    QFETCH(QByteArray, reste);
    LecteurCarte lecteur;
    QCOMPARE(lire(lecteur, flux, morceau), attendu);
    QCOMPARE(lecteur.enCours(), reste);
}

// Positions add the signed steps of the lines taken, and nothing else; a
// reset puts them back to 0; a position beyond the machine's band is said.
void TestCarte::positions()
{
    Limites machine;
    machine.axes[0].course = 150;
    EtatCarte etat(CoursesDe(machine));
    LecteurCarte lecteur;
    QList<EvenementCarte> evenements;
    for (const char octet : QByteArray("A+00100:002\nA+00100:002\nA*00500:002\nB-00030:002\n"
                                       "\nB+00010:002\n"))
        if (const auto ligne = lecteur.ajouter(octet))
            evenements << etat.prendre(*ligne, QDateTime::currentDateTime());
    QCOMPARE(evenements.size(), 6);
    QCOMPARE(evenements[0].position, 100);
    QVERIFY(!evenements[0].horsCourse);
    QCOMPARE(evenements[1].position, 200);
    QVERIFY(evenements[1].horsCourse);
    QCOMPARE(evenements[2].position, 200); // not taken: A stays
    QCOMPARE(evenements[4].position, std::nullopt);
    QCOMPARE(etat.position(0), 200);
    QCOMPARE(etat.position(1), -20);
    QVERIFY(etat.horsCourse(0));
    QVERIFY(!etat.horsCourse(1)); // no band: never beyond
    QCOMPARE(etat.derniere(0)->octets, QByteArray("A+00100:002\n"));
    QCOMPARE(etat.derniere(1)->octets, QByteArray("B+00010:002\n"));
    QCOMPARE(std::tuple(etat.lignes(), etat.commandes(), etat.vides(), etat.anomalies()),
             std::tuple(6, 4, 1, 1));
    etat.remettreAZero();
    QCOMPARE(etat.position(0), 0);
    QVERIFY(!etat.horsCourse(0));
    QVERIFY(etat.derniere(0).has_value());
}

void TestCarte::json_data()
{
    QTest::addColumn<QByteArray>("flux");
    QTest::addColumn<QString>("anomalie"); // empty: null
    QTest::addColumn<QVariant>("position");
    QTest::newRow("commande") << QByteArray("B-00250:010\n") << QString() << QVariant(-250);
    QTest::newRow("ligne vide") << QByteArray("\n") << QString() << QVariant();
    QTest::newRow("guillemet") << QByteArray("A\"00000:002\n")
                               << QStringLiteral("direction_inconnue") << QVariant(0);
    QTest::newRow("barre oblique inverse")
        << QByteArray("A\\00000:002\n") << QStringLiteral("direction_inconnue") << QVariant(0);
    QTest::newRow("tous les octets hors ASCII") << [] {
        QByteArray tous;
        for (int o = 0x80; o < 0x100; o += 3)
            tous += char(o);
        return tous + '\n';
    }() << QStringLiteral("hors_ascii") << QVariant();
    QTest::newRow("octets de contrôle")
        << QByteArray("\x01\x1f\x7f\t\r\n") << QStringLiteral("longueur") << QVariant();
}

// One object per line, on one line, that gives the bytes back exactly.
void TestCarte::json()
{
    QFETCH(QByteArray, flux);
    QFETCH(QString, anomalie);
    QFETCH(QVariant, position);
    EtatCarte etat;
    const QByteArray json =
        FormerJson(etat.prendre(JugerLigne(flux, false), QDateTime::currentDateTime()));
    QVERIFY(json.endsWith('\n'));
    QCOMPARE(json.count('\n'), 1);
    for (const char octet : json)
        QVERIFY2(static_cast<unsigned char>(octet) < 0x80, json.constData());
    QJsonParseError erreur{};
    const QJsonObject objet = QJsonDocument::fromJson(json, &erreur).object();
    QVERIFY2(erreur.error == QJsonParseError::NoError, json.constData());
    QCOMPARE(objet.value(QStringLiteral("octets")).toString().toLatin1(), flux);
    QCOMPARE(objet.value(QStringLiteral("anomalie")).toString(), anomalie);
    QCOMPARE(objet.value(QStringLiteral("anomalie")).isNull(), anomalie.isEmpty());
    const QJsonValue lue = objet.value(QStringLiteral("position"));
    QCOMPARE(lue.isNull(), !position.isValid());
    QCOMPARE(lue.toInteger(), position.toLongLong());
    QVERIFY(
        QDateTime::fromString(objet.value(QStringLiteral("temps")).toString(), Qt::ISODateWithMs)
            .isValid());
}

void TestCarte::lien_data()
{
    QTest::addColumn<QString>("present"); // what stands at the link's place
    QTest::addColumn<bool>("pose");
    QTest::newRow("rien") << QString() << true;
    QTest::newRow("lien périmé d'une carte") << QStringLiteral("lien:/dev/pts/999999") << true;
    QTest::newRow("lien vers un fichier") << QStringLiteral("lien:/etc/passwd") << false;
    QTest::newRow("lien vers un terminal vivant") << QStringLiteral("lien:/dev/null") << false;
    QTest::newRow("lien ailleurs, cassé") << QStringLiteral("lien:/nulle/part") << false;
    QTest::newRow("fichier") << QStringLiteral("fichier") << false;
    QTest::newRow("dossier") << QStringLiteral("dossier") << false;
    QTest::newRow("dossier ouvert à tous") << QStringLiteral("ouvert") << false;
    QTest::newRow("dossier collant ouvert à tous") << QStringLiteral("collant") << true;
}

// The link goes where nothing stands, or over a link a board left behind;
// anything else stays as it was, and is named.
void TestCarte::lien()
{
    QFETCH(QString, present);
    QFETCH(bool, pose);
    QTemporaryDir dossier;
    QString lien = dossier.filePath(QStringLiteral("tarvik-carte"));
    if (present.startsWith(QLatin1String("lien:")))
        QVERIFY(QFile::link(present.mid(5), lien));
    else if (present == QLatin1String("fichier"))
        QVERIFY(QFile(lien).open(QIODevice::WriteOnly));
    else if (present == QLatin1String("dossier"))
        QVERIFY(QDir().mkdir(lien));
    else if (!present.isEmpty()) {
        QVERIFY(QDir().mkdir(dossier.filePath(QStringLiteral("partage"))));
        QVERIFY(::chmod(QFile::encodeName(dossier.filePath(QStringLiteral("partage"))).constData(),
                        present == QLatin1String("ouvert") ? 0777 : 01777) == 0);
        lien = dossier.filePath(QStringLiteral("partage/tarvik-carte"));
    }
    const QString avant = QFileInfo(lien).symLinkTarget();
    const auto refus = PoserLien(lien, QStringLiteral("/dev/pts/0"));
    QCOMPARE(!refus.has_value(), pose);
    if (pose) {
        QCOMPARE(QFileInfo(lien).symLinkTarget(), QStringLiteral("/dev/pts/0"));
        RetirerLien(lien, QStringLiteral("/dev/pts/0"));
        QVERIFY(!QFileInfo(lien).isSymLink());
    } else {
        // Named: the open folder, or what stands there (where a link leads).
        const bool lienLa = present.startsWith(QLatin1String("lien:"));
        QCOMPARE(refus->genre, present == QLatin1String("ouvert") ? EchecCarte::Genre::DossierOuvert
                                                                  : EchecCarte::Genre::Existant);
        QCOMPARE(refus->cible, lienLa ? present.mid(5) : QString());
        QCOMPARE(S_ISLNK(refus->mode), lienLa);
        QCOMPARE(QFileInfo(lien).symLinkTarget(), avant); // untouched
        QCOMPARE(QFileInfo(lien).isDir(), present == QLatin1String("dossier"));
        RetirerLien(lien, QStringLiteral("/dev/pts/0")); // not ours: stays
        QCOMPARE(QFileInfo(lien).symLinkTarget(), avant);
    }
}

// Plugged in: the link leads to a terminal set as the board's line, and
// what is written there is read; unplugged: the link goes, and so does the
// device, under a writer that held it.
void TestCarte::branchement()
{
    QTemporaryDir dossier;
    const QString lien = dossier.filePath(QStringLiteral("carte"));
    PortCarte port({lien, true, 1.0, {}, {}, {}});
    QSignalSpy lignes(&port, &PortCarte::ligneRecue);
    QVERIFY(!port.brancher());
    QCOMPARE(QFileInfo(lien).symLinkTarget(), port.peripherique());
    const int fd = ::open(QFile::encodeName(lien).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(fd >= 0);
    termios ligne{};
    QVERIFY(::tcgetattr(fd, &ligne) == 0);
    QCOMPARE(::cfgetospeed(&ligne), speed_t(B38400));
    QCOMPARE(ligne.c_cflag & (CSIZE | PARENB | CSTOPB), tcflag_t(CS8));
    QCOMPARE(ligne.c_lflag & (ICANON | ECHO), tcflag_t(0));
    QCOMPARE(::write(fd, "A+00100:002\nB", 13), 13);
    QTRY_COMPARE_WITH_TIMEOUT(lignes.size(), 1, 10000);
    QCOMPARE(port.enCours(), QByteArray("B"));
    port.debrancher();
    QVERIFY(!QFileInfo(lien).isSymLink() && !QFileInfo::exists(lien));
    QVERIFY(!QFileInfo::exists(port.peripherique()));
    QCOMPARE(::write(fd, "x", 1), -1);
    QCOMPARE(errno, EIO);
    ::close(fd);
}

QTEST_GUILESS_MAIN(TestCarte)
#include "tst_carte.moc"
