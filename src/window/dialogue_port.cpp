#include "window/dialogue_port.h"

#include "port/choix_port.h"
#include "port/peripherique.h"
#include "system/noms.h"
#include "window/dialogues.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <sys/stat.h>

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

// A name that is itself a numbered pseudo-terminal (/dev/pts/3), not a
// link to one: the number goes to whatever terminal opens next.
bool numeroDePseudoTerminal(const QString &nom)
{
    struct stat etat {};
    const bool lien = ::lstat(OctetsLocaux(nom).constData(), &etat) == 0 && S_ISLNK(etat.st_mode);
    const QString reel = CheminReel(nom);
    return !lien && reel.startsWith(QLatin1String("/dev/pts/")) &&
           std::all_of(reel.begin() + 9, reel.end(), [](QChar c) { return c.isDigit(); });
}

} // namespace

DialoguePort::DialoguePort(const QString &actuel, QWidget *parent)
    : QDialog(parent)
    , m_liste(new QListWidget(this))
    , m_chemin(new QLineEdit(actuel, this))
{
    setObjectName(QStringLiteral("DialoguePort"));
    setWindowTitle(DialoguePort::tr("Choisir le port série"));
    m_liste->setObjectName(QStringLiteral("listePorts"));
    m_chemin->setObjectName(QStringLiteral("cheminPort"));

    const QString port1 = remplirListe();
    m_chemin->setPlaceholderText(DialoguePort::tr("Port série 1 (par défaut) : ") + port1);
    m_chemin->setClearButtonEnabled(true);

    auto *etiquetteListe = new QLabel(DialoguePort::tr("&Ports série présents :"), this);
    etiquetteListe->setBuddy(m_liste);
    auto *etiquetteChemin =
        new QLabel(DialoguePort::tr("Pé&riphérique (vide pour le port série 1) :"), this);
    etiquetteChemin->setBuddy(m_chemin);
    auto *boutons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *mise = new QVBoxLayout(this);
    mise->addWidget(etiquetteListe);
    mise->addWidget(m_liste);
    mise->addWidget(etiquetteChemin);
    mise->addWidget(m_chemin);
    mise->addWidget(boutons);
    resize(560, 340);

    // A port picked in the list goes to the field; Entrée then confirms it,
    // as a double click does. Merely moving through the list changes nothing.
    const auto prendre = [this](QListWidgetItem *element) {
        m_chemin->setText(element->data(Qt::UserRole).toString());
    };
    connect(m_liste, &QListWidget::itemClicked, this, prendre);
    connect(m_liste, &QListWidget::itemActivated, this, prendre);
    connect(m_liste, &QListWidget::itemDoubleClicked, this, &DialoguePort::accept);
    connect(boutons, &QDialogButtonBox::accepted, this, &DialoguePort::accept);
    connect(boutons, &QDialogButtonBox::rejected, this, &DialoguePort::reject);
    m_chemin->setFocus();
}

QString DialoguePort::remplirListe()
{
    QString port1 = PeripheriquePort(1);
    if (const QString reel = CheminReel(port1); !reel.isEmpty() && reel != port1)
        port1 += DialoguePort::tr(" → ") + reel;
    auto *defaut =
        new QListWidgetItem(DialoguePort::tr("Port série 1 (par défaut) : ") + port1, m_liste);
    defaut->setData(Qt::UserRole, QString());
    for (const PortDecouvert &port : (*EnumerationPorts)()) {
        auto *element = new QListWidgetItem(decrire(port), m_liste);
        // An adapter is saved under its stable name, which survives renumbering.
        element->setData(Qt::UserRole,
                         port.nomStable.isEmpty() ? port.peripherique : port.nomStable);
        element->setToolTip(element->data(Qt::UserRole).toString());
    }
    return port1;
}

QString DialoguePort::choix() const
{
    // A relative path would lead elsewhere from another folder.
    const QString texte = m_chemin->text().trimmed();
    return texte.isEmpty() || QDir::isAbsolutePath(texte) ? texte
                                                          : QDir::current().absoluteFilePath(texte);
}

void DialoguePort::accept()
{
    if (!choix().isEmpty()) {
        if (const auto raison = VerifierPeripherique(choix())) {
            Afficher(this, GenreMessage::Erreur, DialoguePort::tr("Port refusé"),
                     DialoguePort::tr("« %1 » ne peut pas servir de port : %2.\nChoisissez un port "
                                      "série, ou laissez le champ vide pour le port série 1.")
                         .arg(NomLisible(choix()), raison->message));
            m_chemin->setFocus();
            m_chemin->selectAll();
            return;
        }
        if (numeroDePseudoTerminal(choix()))
            Afficher(this, GenreMessage::Information, DialoguePort::tr("Pseudo-terminal numéroté"),
                     DialoguePort::tr(
                         "« %1 » est un pseudo-terminal numéroté : une fois fermé, son numéro "
                         "revient au prochain terminal ouvert, et ce choix mènerait ailleurs.\n\n"
                         "Pour un nom qui ne change pas, créez le pont avec un lien, par "
                         "exemple :\n  socat pty,rawer,link=$HOME/tarvik-port "
                         "pty,rawer,link=$HOME/carte\npuis choisissez ce lien "
                         "($HOME/tarvik-port).")
                         .arg(NomLisible(choix())));
    }
    QDialog::accept();
}
