// What the window tests share: messages and file choices captured instead
// of dialogs, the lines of the initial grid, and the gestures an operator
// makes, done on the widget they are meant for. None of them depends on
// which window the platform made active (offscreen makes a window active
// when it gets round to it): the focus looked at is the one a window keeps
// for itself, keys go to the widget meant, a shortcut is set off by its
// own signal, and a modal dialog is found as it opens, not as it activates.
#pragma once

#include "octets_essai.h"
#include "pseudo_terminal.h"
#include "window/dialogues.h"
#include "window/main_window.h"
#include "window/menus_panneau.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QDeadlineTimer>
#include <QFocusEvent>
#include <QKeySequence>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QShortcut>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <functional>

using namespace tarvik::window;

struct MessageVu {
    GenreMessage genre;
    QString titre, texte;
};

// Captures every message the window shows instead of opening a dialog. A
// question is answered from `reponses` in turn, then with the button Échap
// gives.
class CaptureMessages {
public:
    QList<MessageVu> vus;
    QList<int> reponses;
    QStringList boutons; // those of the last question

private:
    Substituable<Afficheur>::Remplacement m_remise{Affichage.remplacer(
        [this](QWidget *, GenreMessage genre, const QString &titre, const QString &texte) {
            vus.append({genre, titre, texte});
        })};
    Substituable<Questionneur>::Remplacement m_reponse{
        Question.remplacer([this](QWidget *, GenreMessage genre, const QString &titre,
                                  const QString &texte, const QStringList &choix, int, int annule) {
            vus.append({genre, titre, texte});
            boutons = choix;
            return reponses.isEmpty() ? annule : reponses.takeFirst();
        })};
};

// Answers every file question with `reponse`, and remembers the questions.
class ChoixImpose {
public:
    struct Question {
        ModeFichier mode;
        QString suffixe;
        QString dossier; // where the dialog would open
    };
    QString reponse;
    QList<Question> questions;

private:
    Substituable<ChoixFichier>::Remplacement m_remise{ChoixDeFichier.remplacer(
        [this](QWidget *, ModeFichier mode, const QString &, const QString &,
               const QString &suffixe, const QString &dossier) {
            questions.append({mode, suffixe, dossier});
            return reponse;
        })};
};

template <class T> T *controle(const QWidget &fenetre, const QString &nom)
{
    return fenetre.findChild<T *>(nom);
}

inline QString nomElement(const char *tableau, int k)
{
    return QStringLiteral("%1_%2").arg(QLatin1String(tableau)).arg(k);
}

inline QStringList lignesListe(const Form1 &fenetre)
{
    QStringList lignes;
    const auto *liste = controle<QListWidget>(fenetre, QStringLiteral("List1"));
    for (int k = 0; k < liste->count(); ++k)
        lignes << liste->item(k)->text();
    return lignes;
}

// The limits an operator's file holding `contenu` sets, with none of the
// machine's.
inline LimitesLues limitesOperateur(const QByteArray &contenu)
{
    LimitesLues lues;
    lues.operateur = AnalyserLimites(contenu, NiveauLimite::Operateur).limites;
    lues.effectives = PlusStrictes({}, lues.operateur);
    return lues;
}

// The station a panel sends through, as the program's start makes it: the
// port the settings choose, the limits given.
struct PosteDuPanneau {
    PosteEnvoi poste{QStringLiteral("tarvik")};
};

// Form1 with a station and a menu bar of its own, as the program's start
// makes them.
class Panneau : private PosteDuPanneau, public Form1 {
public:
    // `option`: the device given with --port as the panel starts.
    explicit Panneau(const ReglagesLus &reglages = {}, const LimitesLues &limites = {},
                     const QString &option = {})
        : Form1(preparer(PosteDuPanneau::poste, reglages, limites, option))
        , m_menus(*this, PosteDuPanneau::poste, reglages)
    {
    }
    PosteEnvoi &poste() { return PosteDuPanneau::poste; }
    const PosteEnvoi &poste() const { return PosteDuPanneau::poste; }
    FenetreProgramme *fenetreProgramme() const { return m_menus.fenetreProgramme(); }
    // The device given with --port.
    void imposerPort(const QString &peripherique) { poste().setPort(PortImpose(peripherique)); }

private:
    static PosteEnvoi &preparer(PosteEnvoi &poste, const ReglagesLus &reglages,
                                const LimitesLues &limites, const QString &option)
    {
        poste.setLimites(limites);
        poste.setPort(DeterminerPort(option, reglages));
        return poste;
    }
    MenusPanneau m_menus;
};

// Waits until the TESTs asked for are over, 20 s at most: they run away
// from the window.
inline bool envoisFinis(const Panneau &fenetre)
{
    return QTest::qWaitFor([&] { return !fenetre.poste().occupe(); }, 20000);
}

inline void cliquerTest(const Panneau &fenetre)
{
    controle<QPushButton>(fenetre, QStringLiteral("Command1"))->click();
    envoisFinis(fenetre);
}

// A shown window whose port 1 is a pseudo-terminal, its messages captured.
template <class Fenetre = Panneau> struct Banc {
    Banc()
    {
        fenetre.imposerPort(pty.chemin());
        fenetre.show();
    }
    bool pret() { return QTest::qWaitForWindowExposed(&fenetre); }

    PseudoTerminal pty;
    CaptureMessages messages;
    Fenetre fenetre;
};

// Acts in the modal dialog of type D that `fenetre` is about to open, once
// it is shown: looked for from the event loop its exec() runs, as the modal
// window of the application (which never waits on activation). Gives up
// after 20 s without a dialog, or when `fenetre` is gone: what the gesture
// would have seen stays empty, and the test says so.
template <class D>
void auDialogue(const QWidget &fenetre, const std::function<void(D *)> &geste,
                QDeadlineTimer fin = QDeadlineTimer(20000))
{
    QTimer::singleShot(10, &fenetre, [&fenetre, geste, fin] {
        auto *dialogue = qobject_cast<D *>(QApplication::activeModalWidget());
        if (dialogue && dialogue->isVisible())
            return geste(dialogue);
        if (!fin.hasExpired())
            auDialogue<D>(fenetre, geste, fin);
    });
}

// Gives `cible` the focus of its window, as a click or a key would, with
// the focus event the box receives when its window is the active one.
// Whether the platform has made the window active yet changes nothing:
// there is one focus event either way.
inline void donnerFocus(QWidget *cible, Qt::FocusReason raison)
{
    cible->setFocus(raison);
    if (!cible->hasFocus()) { // an inactive window keeps the focus for later
        QFocusEvent entree(QEvent::FocusIn, raison);
        QCoreApplication::sendEvent(cible, &entree);
    }
}

// The shortcut of `fenetre` that `touche` sets off, if any.
inline QShortcut *raccourci(const QWidget &fenetre, const QKeySequence &touche)
{
    for (QShortcut *r : fenetre.findChildren<QShortcut *>())
        if (r->key() == touche && r->isEnabled())
            return r;
    return nullptr;
}

// Keys typed into `fenetre`, one after the other: a shortcut of the window
// is set off, any other key goes to the widget that has the window's focus.
inline void frapper(QWidget &fenetre, const QKeySequence &touches)
{
    for (int k = 0; k < touches.count(); ++k) {
        if (QShortcut *r = raccourci(fenetre, QKeySequence(touches[k])))
            Q_EMIT r->activated();
        else
            QTest::keyClick(fenetre.focusWidget() ? fenetre.focusWidget() : &fenetre,
                            touches[k].key(), touches[k].keyboardModifiers());
    }
}

// Whether `w` is seen whole in its window: neither its window's edges nor a
// parent's (a scroll area's viewport) cut it.
inline bool enVue(const QWidget &w)
{
    const QRect place(w.mapToGlobal(QPoint(0, 0)), w.size());
    QRect vu = place;
    for (const QWidget *p = w.parentWidget(); p && p != w.window()->parentWidget();
         p = p->parentWidget())
        vu &= QRect(p->mapToGlobal(QPoint(0, 0)), p->size());
    return w.isVisible() && vu == place;
}

// What of `fenetre` is not seen whole on the screen `ecran` (its available
// geometry): the window beyond it; a control (a Tab stop, a label, a bar)
// beyond it, or out of its window's sight, or a label's words cut. What a
// scroll area holds is only checked for a button's text: it may scroll.
// A button whose text is cut, anywhere, is listed too.
inline QStringList horsDeVue(const QWidget &fenetre, const QRect &ecran)
{
    QStringList vus;
    const auto nom = [](const QWidget *w) {
        return QStringLiteral("%1 (%2)").arg(w->objectName(),
                                             QLatin1String(w->metaObject()->className()));
    };
    if (!ecran.contains(fenetre.frameGeometry()))
        vus << QStringLiteral("la fenêtre %1").arg(QDebug::toString(fenetre.frameGeometry()));
    for (const QWidget *w : fenetre.findChildren<QWidget *>()) {
        if (!w->isVisible() || w->window() != &fenetre)
            continue;
        const auto *bouton = qobject_cast<const QAbstractButton *>(w);
        if (bouton && !bouton->text().isEmpty() && bouton->width() < bouton->sizeHint().width())
            vus << nom(w) + QStringLiteral(" : « %1 » coupé").arg(bouton->text());
        bool defile = false;
        for (const QWidget *p = w->parentWidget(); p && p != &fenetre; p = p->parentWidget())
            defile = defile || qobject_cast<const QAbstractScrollArea *>(p);
        const auto *label = qobject_cast<const QLabel *>(w);
        if (defile ||
            !((w->focusPolicy() & Qt::TabFocus) || label || qobject_cast<const QProgressBar *>(w)))
            continue;
        const QRect place(w->mapToGlobal(QPoint(0, 0)), w->size());
        if (!ecran.contains(place) || !enVue(*w))
            vus << nom(w) + QStringLiteral(" hors de vue ") + QDebug::toString(place);
        else if (label && !label->text().isEmpty() &&
                 (label->wordWrap() ? label->heightForWidth(label->contentsRect().width()) >
                                          label->contentsRect().height()
                                    : label->sizeHint().width() > label->width()))
            vus << nom(w) + QStringLiteral(" : « %1 » coupé").arg(label->text());
    }
    return vus;
}

// What a screen reader, walking `fenetre`'s accessible tree as AT-SPI
// does, would find amiss: a widget it can give the focus to (a Tab stop,
// or a widget that hands its focus on) named with nothing, or a list to
// choose from without the label that names it (its name is its choice);
// and any name or description that holds markup (a raw <p>).
inline QStringList sansNomAccessible(const QWidget &fenetre)
{
    static const QRegularExpression balise(QStringLiteral("<[a-zA-Z/!]"));
    QStringList vus;
    const std::function<void(QAccessibleInterface *, int)> parcourir =
        [&](QAccessibleInterface *interface, int profondeur) {
            if (!interface || !interface->isValid() || profondeur > 40 ||
                interface->state().invisible)
                return;
            const QString nom = interface->text(QAccessible::Name);
            const QString description = interface->text(QAccessible::Description);
            const QObject *objet = interface->object();
            const QString qui = QStringLiteral("%1 (%2)").arg(
                objet ? objet->objectName() : QString(),
                objet ? QLatin1String(objet->metaObject()->className()) : QLatin1String("?"));
            if (objet && objet->isWidgetType() && interface->state().focusable &&
                (nom.trimmed().isEmpty() || (interface->role() == QAccessible::ComboBox &&
                                             interface->relations(QAccessible::Label).isEmpty())))
                vus << qui + QStringLiteral(" sans nom (%1)").arg(nom);
            if (nom.contains(balise) || description.contains(balise))
                vus << qui + QStringLiteral(" : ") + nom + QStringLiteral(" / ") + description;
            for (int k = 0; k < interface->childCount(); ++k)
                parcourir(interface->child(k), profondeur + 1);
        };
    parcourir(QAccessible::queryAccessibleInterface(const_cast<QWidget *>(&fenetre)), 0);
    return vus;
}
