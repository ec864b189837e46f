#include "window/fenetre_carte.h"

#include "system/noms.h"

#include <QAccessible>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace tarvik::window {

namespace {

QString heure(const QDateTime &temps)
{
    return temps.toString(QStringLiteral("HH:mm:ss.zzz"));
}

QString signee(qint64 position)
{
    return position > 0 ? QStringLiteral("+%1").arg(position) : QString::number(position);
}

} // namespace

// An axis's position within its travel band, -course to +course, 0 in the
// middle: filled from 0 to the position; beyond the band, drawn to its edge,
// hatched, and marked "!". Without a band it says so.
class BarreCourse : public QWidget {
public:
    using QWidget::QWidget;
    void montrer(qint64 position, std::optional<qint64> course)
    {
        m_position = position;
        m_course = course;
        setAccessibleDescription(description());
        setToolTip(description());
        update();
    }
    QSize sizeHint() const override { return {220, fontMetrics().height() + 6}; }
    QString description() const
    {
        if (!m_course)
            return FenetreCarte::tr("position %1, aucune limite de course").arg(signee(m_position));
        return horsCourse() ? FenetreCarte::tr("position %1, hors de sa course de ±%2")
                                  .arg(signee(m_position))
                                  .arg(*m_course)
                            : FenetreCarte::tr("position %1, dans sa course de ±%2")
                                  .arg(signee(m_position))
                                  .arg(*m_course);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter peintre(this);
        const QRect cadre = rect().adjusted(0, 2, -1, -3);
        peintre.setPen(palette().color(QPalette::Mid));
        peintre.setBrush(palette().color(QPalette::Base));
        peintre.drawRect(cadre);
        if (!m_course) {
            peintre.setPen(palette().color(QPalette::PlaceholderText));
            peintre.drawText(cadre, Qt::AlignCenter, FenetreCarte::tr("aucune course fixée"));
            return;
        }
        const int milieu = cadre.center().x();
        const double demi = cadre.width() / 2.0 - 1;
        const double part = *m_course > 0
                                ? qBound(-1.0, double(m_position) / double(*m_course), 1.0)
                                : (m_position > 0   ? 1.0
                                   : m_position < 0 ? -1.0
                                                    : 0.0);
        const int bout = milieu + int(part * demi);
        const QRect remplie(QPoint(qMin(milieu, bout), cadre.top() + 2),
                            QPoint(qMax(milieu, bout), cadre.bottom() - 2));
        const QColor couleur =
            horsCourse() ? QColor(0xc0, 0x20, 0x20) : palette().color(QPalette::Highlight);
        peintre.fillRect(remplie, couleur);
        if (horsCourse()) {
            peintre.fillRect(remplie, QBrush(Qt::white, Qt::BDiagPattern));
            peintre.setPen(palette().color(QPalette::Text));
            QFont gras = font();
            gras.setBold(true);
            peintre.setFont(gras);
            peintre.drawText(cadre.adjusted(4, 0, -4, 0),
                             (bout > milieu ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                             QStringLiteral("!"));
        }
        peintre.setPen(palette().color(QPalette::Text));
        peintre.drawLine(milieu, cadre.top(), milieu, cadre.bottom());
    }

private:
    bool horsCourse() const
    {
        return m_course && (m_position > *m_course || m_position < -*m_course);
    }
    qint64 m_position = 0;
    std::optional<qint64> m_course;
};

QString NomAxeCarte(int i)
{
    return FenetreCarte::tr("Axe %1 (%2)").arg(i + 1, 2, 10, QLatin1Char('0')).arg(QChar(u'A' + i));
}

FenetreCarte::FenetreCarte(PortCarte &port, EtatCarte &etat, const QString &note, QWidget *parent)
    : QMainWindow(parent)
    , m_port(port)
    , m_etat(etat)
    , m_note(note)
{
    setObjectName(QStringLiteral("FenetreCarte"));
    setWindowTitle(FenetreCarte::tr("Carte virtuelle Tarvik"));
    auto *zone = new QWidget(this);
    auto *pile = new QVBoxLayout(zone);
    pile->addLayout(creerRangees(zone));
    creerLignes(zone, pile);
    setCentralWidget(zone);

    m_etatPort = new QLabel(this);
    m_etatPort->setObjectName(QStringLiteral("etatCarte"));
    m_etatPort->setTextFormat(Qt::PlainText);
    m_etatPort->setWordWrap(true);
    m_etatPort->setAccessibleName(FenetreCarte::tr("État de la carte"));
    statusBar()->addWidget(m_etatPort, 1);
    statusBar()->setSizeGripEnabled(false);
    connect(&m_port, &PortCarte::etatChange, this, &FenetreCarte::montrerPort);
    montrerPort();
    resize(760, 540);
}

QGridLayout *FenetreCarte::creerRangees(QWidget *zone)
{
    auto *grille = new QGridLayout;
    const QFont chiffres = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QStringList titres{FenetreCarte::tr("Axe"), FenetreCarte::tr("Position"),
                             FenetreCarte::tr("Course"), FenetreCarte::tr("Dernière commande")};
    for (int colonne = 0; colonne < titres.size(); ++colonne) {
        auto *etiquette = new QLabel(titres[colonne], zone);
        QFont gras = etiquette->font();
        gras.setBold(true);
        etiquette->setFont(gras);
        grille->addWidget(etiquette, 0, colonne);
    }
    for (int i = 0; i < AxesCarte; ++i) {
        const QString nom = NomAxeCarte(i);
        auto *etiquette = new QLabel(nom, zone);
        RangeeCarte &rangee = m_rangees[std::size_t(i)];
        rangee.position = new QLabel(zone);
        rangee.position->setObjectName(QStringLiteral("position_%1").arg(i + 1));
        rangee.position->setFont(chiffres);
        rangee.position->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        rangee.position->setMinimumWidth(
            QFontMetrics(chiffres).horizontalAdvance(QStringLiteral("! -99999999999")));
        rangee.position->setAccessibleName(FenetreCarte::tr("%1, position").arg(nom));
        rangee.barre = new BarreCourse(zone);
        rangee.barre->setObjectName(QStringLiteral("course_%1").arg(i + 1));
        rangee.barre->setAccessibleName(FenetreCarte::tr("%1, course").arg(nom));
        rangee.derniere = new QLabel(zone);
        rangee.derniere->setObjectName(QStringLiteral("derniere_%1").arg(i + 1));
        rangee.derniere->setFont(chiffres);
        rangee.derniere->setTextFormat(Qt::PlainText);
        rangee.derniere->setAccessibleName(FenetreCarte::tr("%1, dernière commande").arg(nom));
        etiquette->setBuddy(rangee.position);
        grille->addWidget(etiquette, i + 1, 0);
        grille->addWidget(rangee.position, i + 1, 1);
        grille->addWidget(rangee.barre, i + 1, 2);
        grille->addWidget(rangee.derniere, i + 1, 3);
        montrerAxe(i);
    }
    grille->setColumnStretch(2, 1);
    return grille;
}

void FenetreCarte::creerLignes(QWidget *zone, QVBoxLayout *pile)
{
    auto *recues = new QLabel(FenetreCarte::tr("Lignes reçues"), zone);
    pile->addWidget(recues);
    m_lignes = new QListWidget(zone);
    m_lignes->setObjectName(QStringLiteral("lignesRecues"));
    m_lignes->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_lignes->setAccessibleName(FenetreCarte::tr("Lignes reçues"));
    m_lignes->setAccessibleDescription(
        FenetreCarte::tr("Chaque ligne lue par la carte : ✓ prise, ↵ ligne vide (remise en "
                         "phase), ✗ anomalie, avec sa raison."));
    recues->setBuddy(m_lignes);
    pile->addWidget(m_lignes, 1);
    m_remise = new QPushButton(FenetreCarte::tr("Remise à zéro"), zone);
    m_remise->setObjectName(QStringLiteral("remiseAZero"));
    m_remise->setAccessibleDescription(
        FenetreCarte::tr("Remet les sept positions à 0, où que soit la machine."));
    m_remise->setToolTip(m_remise->accessibleDescription());
    connect(m_remise, &QPushButton::clicked, this, &FenetreCarte::remettreAZero);
    auto *bas = new QHBoxLayout;
    bas->addStretch();
    bas->addWidget(m_remise);
    pile->addLayout(bas);
}

void FenetreCarte::remettreAZero()
{
    m_etat.remettreAZero();
    for (int i = 0; i < AxesCarte; ++i)
        montrerAxe(i);
    m_lignes->addItem(new QListWidgetItem(
        FenetreCarte::tr("— %1 : remise à zéro —").arg(heure(QDateTime::currentDateTime()))));
    m_lignes->scrollToBottom();
}

void FenetreCarte::montrerAxe(int i)
{
    const RangeeCarte &rangee = m_rangees[std::size_t(i)];
    const bool hors = m_etat.horsCourse(i);
    rangee.position->setText((hors ? QStringLiteral("! ") : QString()) +
                             signee(m_etat.position(i)));
    rangee.position->setStyleSheet(hors ? QStringLiteral("color: #c02020; font-weight: bold")
                                        : QString());
    rangee.position->setAccessibleDescription(
        hors ? FenetreCarte::tr("hors de sa course de ±%1").arg(*m_etat.course(i)) : QString());
    rangee.barre->montrer(m_etat.position(i), m_etat.course(i));
    const auto &derniere = m_etat.derniere(i);
    rangee.derniere->setText(derniere
                                 ? FenetreCarte::tr("%1 à %2").arg(OctetsLisibles(derniere->octets),
                                                                   heure(derniere->temps))
                                 : FenetreCarte::tr("aucune"));
}

void FenetreCarte::montrer(const EvenementCarte &e)
{
    const LigneRecue &ligne = e.ligne;
    QString texte;
    QColor couleur;
    switch (ligne.genre) {
    case LigneRecue::Genre::Commande:
        texte = FenetreCarte::tr("✓ %1  %2").arg(heure(e.temps), OctetsLisibles(ligne.octets));
        if (e.horsCourse) {
            texte += FenetreCarte::tr("  ! hors course : %1").arg(signee(*e.position));
            couleur = QColor(0xc0, 0x20, 0x20);
        }
        break;
    case LigneRecue::Genre::LigneVide:
        texte = FenetreCarte::tr("↵ %1  ligne vide (remise en phase)").arg(heure(e.temps));
        couleur = QColor(0x60, 0x60, 0x60);
        break;
    case LigneRecue::Genre::Anomalie:
        texte = FenetreCarte::tr("✗ %1  %2  — %3")
                    .arg(heure(e.temps), OctetsLisibles(ligne.octets),
                         DecrireAnomalie(*ligne.anomalie));
        couleur = QColor(0xc0, 0x20, 0x20);
        break;
    }
    auto *element = new QListWidgetItem(texte);
    if (couleur.isValid())
        element->setForeground(couleur);
    m_lignes->addItem(element);
    while (m_lignes->count() > LignesGardees)
        delete m_lignes->takeItem(0);
    m_lignes->scrollToBottom();
    if (ligne.axe)
        montrerAxe(ligne.axe - 'A');
}

void FenetreCarte::montrerPort()
{
    QString port = NomLisible(m_port.port());
    if (m_port.port() != m_port.peripherique() && !m_port.peripherique().isEmpty())
        port += QStringLiteral(" → ") + NomLisible(m_port.peripherique());
    const qint64 debit = m_port.debit();
    const QString rythme =
        debit == 0 ? FenetreCarte::tr("sans rythme")
        : debit == OctetsParSecondeLigne
            ? FenetreCarte::tr("au rythme de 38400 bauds (%1 octets/s)").arg(debit)
            : FenetreCarte::tr("lente : %1 octets/s").arg(debit);
    QString etat =
        m_port.bloque()
            ? FenetreCarte::tr("bloquée après %1 lignes, ne lit plus").arg(m_port.lignes())
        : m_port.branche() ? FenetreCarte::tr("prête")
        : m_port.rebranchementA().isValid()
            ? FenetreCarte::tr("débranchée, retour à %1")
                  .arg(m_port.rebranchementA().toString(QStringLiteral("HH:mm:ss")))
            : FenetreCarte::tr("débranchée");
    QString texte = FenetreCarte::tr("Port « %1 » : %2 · %3").arg(port, etat, rythme);
    if (!m_note.isEmpty())
        texte += QStringLiteral(" · ") + m_note;
    if (!m_signale.isEmpty())
        texte += QStringLiteral(" · ") + m_signale;
    m_etatPort->setText(texte);
    m_etatPort->setToolTip(texte);
}

void FenetreCarte::signaler(const QString &texte)
{
    m_signale = texte;
    montrerPort();
}

} // namespace tarvik::window
