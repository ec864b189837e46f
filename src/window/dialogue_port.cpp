#include "window/dialogue_port.h"

#include "app/formulation.h"
#include "core/noms.h"
#include "core/reglages.h"
#include "port/choix_port.h"
#include "port/peripherique.h"
#include "system/noms.h"
#include "window/dialogues.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tarvik::window {

namespace {

// "ttyUSB0 — FT232R USB UART — FTDI — n° A50285BI — USB 0403:6001"
QString decrire(const PortDecouvert &port)
{
    QStringList parties{port.peripherique, port.description, port.fabricant};
    if (!port.numeroSerie.isEmpty())
        parties << DialoguePort::tr("n° ") + port.numeroSerie;
    if (port.vendeur && port.produit)
        parties << DialoguePort::tr("USB %1:%2")
                       .arg(*port.vendeur, 4, 16, QChar(u'0'))
                       .arg(*port.produit, 4, 16, QChar(u'0'));
    parties.removeAll(QString());
    return parties.join(DialoguePort::tr(" — "));
}

// Two names of one device compare by where their links lead; a name that
// leads nowhere stands for itself.
QString cleDe(const QString &nom)
{
    const QString reel = CheminReel(nom);
    return reel.isEmpty() ? nom : reel;
}

} // namespace

DialoguePort::DialoguePort(const QString &actuel, const QString &impose, QWidget *parent)
    : QDialog(parent)
    , m_liste(new QListWidget(this))
    , m_chemin(new QLineEdit(actuel, this))
{
    setObjectName(QStringLiteral("DialoguePort"));
    setWindowTitle(DialoguePort::tr("Choisir le port série"));
    m_liste->setObjectName(QStringLiteral("listePorts"));
    m_chemin->setObjectName(QStringLiteral("cheminPort"));
    m_chemin->setClearButtonEnabled(true);
    disposer(new QVBoxLayout(this), impose, remplirListe(actuel));
    dimensionner();

    // Selecting a row, with the mouse or the arrow keys, puts its device in
    // the field, which OK saves; Entrée or a double click on a row confirms
    // it. Typing in the field leaves no row selected.
    const auto prendre = [this](QListWidgetItem *element) {
        if (const QString nom = element->data(Qt::UserRole).toString(); m_chemin->text() != nom)
            m_chemin->setText(nom);
    };
    connect(m_liste, &QListWidget::itemSelectionChanged, this, [this, prendre] {
        if (const QList<QListWidgetItem *> choisis = m_liste->selectedItems(); !choisis.isEmpty())
            prendre(choisis.first());
    });
    connect(m_liste, &QListWidget::itemClicked, this, prendre); // a row selected already
    connect(m_liste, &QListWidget::itemActivated, this, [this, prendre](QListWidgetItem *element) {
        m_liste->setCurrentItem(element);
        prendre(element);
    });
    connect(m_liste, &QListWidget::itemDoubleClicked, this, &DialoguePort::accept);
    connect(m_chemin, &QLineEdit::textEdited, m_liste, &QListWidget::clearSelection);
    m_chemin->setFocus();

    m_source = (*NouvelleSource)();
    if (m_source) {
        connect(m_source.get(), &SourceEvenements::changement, this, &DialoguePort::actualiser);
    } else {
        connect(&m_minuterie, &QTimer::timeout, this, &DialoguePort::actualiser);
        m_minuterie.start(1000);
    }
}

void DialoguePort::disposer(QVBoxLayout *mise, const QString &impose, const QString &port1)
{
    if (!impose.isEmpty()) {
        auto *origine = new QLabel(
            DialoguePort::tr("Ce panneau envoie sur « %1 », donné par --port au lancement. Le "
                             "port choisi ici le remplace aussitôt, et vaut pour les prochains "
                             "démarrages sans --port.")
                .arg(NomLisible(impose)),
            this);
        origine->setObjectName(QStringLiteral("portImpose"));
        origine->setTextFormat(Qt::PlainText);
        origine->setWordWrap(true);
        mise->addWidget(origine);
    }
    m_chemin->setPlaceholderText(DialoguePort::tr("Port série 1 (par défaut) : ") + port1);
    auto *etiquetteListe = new QLabel(DialoguePort::tr("&Ports série présents :"), this);
    etiquetteListe->setBuddy(m_liste);
    auto *etiquetteChemin =
        new QLabel(DialoguePort::tr("Pé&riphérique (vide pour le port série 1) :"), this);
    etiquetteChemin->setBuddy(m_chemin);
    auto *boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    mise->addWidget(etiquetteListe);
    mise->addWidget(m_liste);
    mise->addWidget(etiquetteChemin);
    mise->addWidget(m_chemin);
    mise->addWidget(boutons);
    // Entrée, from the field as from the list, presses OK; Échap cancels.
    connect(boutons, &QDialogButtonBox::accepted, this, &DialoguePort::accept);
    connect(boutons, &QDialogButtonBox::rejected, this, &DialoguePort::reject);
}

void DialoguePort::dimensionner()
{
    // The free area of the screen, in the pixels the scale factor leaves:
    // QT_SCALE_FACTOR=2 on a 1280x800 screen gives about 640x380.
    const QScreen *ecran = screen();
    const QSize libre = ecran ? ecran->availableGeometry().size() * 0.9 : QSize(560, 340);
    resize(QSize(560, 340).expandedTo(sizeHint()).boundedTo(libre));
}

QString DialoguePort::lister(const QList<PortDecouvert> &ports)
{
    const QString port1 = PeripheriquePort(1);
    const QString reel1 = CheminReel(port1);
    const QString montre =
        reel1.isEmpty() || reel1 == port1 ? port1 : port1 + DialoguePort::tr(" → ") + reel1;
    // Each row: what it shows, and the device it saves (empty: port 1). The
    // system may report port 1 too, or one device under two names: each
    // device is listed once, where it first comes.
    QList<std::pair<QString, QString>> lignes{
        {DialoguePort::tr("Port série 1 (par défaut) : ") + montre, {}}};
    QStringList vus{cleDe(port1)};
    for (const PortDecouvert &port : ports) {
        if (vus.contains(cleDe(port.peripherique)))
            continue;
        vus << cleDe(port.peripherique);
        // An adapter is saved under its stable name, which survives renumbering.
        lignes.append(
            {decrire(port), port.nomStable.isEmpty() ? port.peripherique : port.nomStable});
    }
    QStringList textes;
    for (const auto &[texte, valeur] : lignes)
        textes << texte + u'\n' + valeur;
    if (textes == m_listes)
        return montre;
    m_listes = textes;
    m_liste->clear();
    for (const auto &[texte, valeur] : lignes) {
        auto *element = new QListWidgetItem(texte, m_liste);
        element->setData(Qt::UserRole, valeur);
        if (!valeur.isEmpty())
            element->setToolTip(valeur);
    }
    return montre;
}

QString DialoguePort::remplirListe(const QString &actuel)
{
    const QString montre = lister((*EnumerationPorts)());
    const QString cle = actuel.isEmpty() ? QString() : cleDe(actuel);
    for (int k = 0; k < m_liste->count(); ++k) {
        const QString valeur = m_liste->item(k)->data(Qt::UserRole).toString();
        if (k == 0 ? actuel.isEmpty() || cle == cleDe(PeripheriquePort(1)) : cleDe(valeur) == cle) {
            m_liste->setCurrentRow(k);
            break;
        }
    }
    return montre;
}

void DialoguePort::actualiser()
{
    const QListWidgetItem *choisi = m_liste->selectedItems().value(0);
    const QVariant garde = choisi ? choisi->data(Qt::UserRole) : QVariant();
    const QSignalBlocker bloque(m_liste); // the field stays as it is
    lister((*EnumerationPorts)());
    if (!garde.isValid() || !m_liste->selectedItems().isEmpty())
        return; // nothing was selected, or the rows are as they were
    for (int k = 0; k < m_liste->count(); ++k)
        if (m_liste->item(k)->data(Qt::UserRole) == garde)
            m_liste->setCurrentRow(k);
}

QString DialoguePort::choix() const
{
    const QString texte = m_chemin->text().trimmed();
    return texte.isEmpty() || texte.contains(u'/') ? texte : QStringLiteral("/dev/") + texte;
}

void DialoguePort::accept()
{
    const QString choisi = choix();
    std::optional<QString> raison;
    // What the settings could not hold back as it is (a relative path would
    // lead elsewhere from another folder), then what cannot be a port.
    if (const auto chemin = choisi.isEmpty() ? std::nullopt : VerifierChemin(choisi))
        raison = Formuler(*chemin);
    else if (const auto port = choisi.isEmpty() ? std::nullopt : VerifierPeripherique(choisi))
        raison = Formuler(*port);
    if (raison) {
        Afficher(this, GenreMessage::Erreur, DialoguePort::tr("Port refusé"),
                 DialoguePort::tr("« %1 » ne peut pas servir de port : %2.\nChoisissez un port "
                                  "série, ou laissez le champ vide pour le port série 1.")
                     .arg(NomLisible(choisi), *raison));
        return reprendreChamp();
    }
    if (!choisi.isEmpty() && PseudoTerminalNumerote(choisi) && !garderPseudoTerminal(choisi))
        return reprendreChamp();
    QDialog::accept();
}

bool DialoguePort::garderPseudoTerminal(const QString &choisi)
{
    const QString lien = QDir::homePath() + QStringLiteral("/tarvik-port");
    const QString commande = QStringLiteral("socat %1 %2")
                                 .arg(PourLeShell(QStringLiteral("pty,rawer,link=") + lien),
                                      PourLeShell(QStringLiteral("pty,rawer,link=") +
                                                  QDir::homePath() + QStringLiteral("/carte")));
    const QStringList reponses{DialoguePort::tr("Garder"), DialoguePort::tr("Choisir un autre")};
    return Demander(this, GenreMessage::Avertissement, DialoguePort::tr("Pseudo-terminal numéroté"),
                    DialoguePort::tr(
                        "« %1 » est un pseudo-terminal numéroté : une fois fermé, son numéro "
                        "revient au prochain terminal ouvert, et ce choix mènerait ailleurs.\n\n"
                        "Pour un nom qui ne change pas, créez le pont avec un lien, par "
                        "exemple :\n  %2\npuis choisissez ce lien (« %3 »).\n\n"
                        "« %4 » enregistre quand même ce pseudo-terminal ; « %5 » "
                        "laisse la boîte ouverte.")
                        .arg(NomLisible(choisi), NomLisible(commande), NomLisible(lien),
                             reponses[0], reponses[1]),
                    reponses) == 0;
}

void DialoguePort::reprendreChamp()
{
    m_chemin->setFocus();
    m_chemin->selectAll();
}

} // namespace tarvik::window
