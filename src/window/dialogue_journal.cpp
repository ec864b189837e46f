#include "window/dialogue_journal.h"

#include "run/journal.h"
#include "system/lecture.h"
#include "system/noms.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

// The journal's end shown: some thousand records.
constexpr qsizetype TailleVue = 256 * 1024;

// The latest records, whole: a record cut by the bound is left out.
QString dernierEnregistrements()
{
    const FichierLu lu = LireFin(CheminJournal(), TailleVue);
    if (lu.absent)
        return DialogueJournal::tr("Aucun envoi n'a encore été consigné.");
    if (lu.echec)
        return DialogueJournal::tr("Le journal ne peut pas être lu : %1.").arg(lu.echec->message);
    QByteArray contenu = lu.contenu;
    if (contenu.size() == TailleVue)
        contenu.remove(0, contenu.indexOf('\n') + 1);
    return QString::fromUtf8(contenu);
}

} // namespace

DialogueJournal::DialogueJournal(QWidget *parent)
    : QDialog(parent)
    , m_texte(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("DialogueJournal"));
    setWindowTitle(DialogueJournal::tr("Journal des envois"));
    auto *fichier =
        new QLabel(DialogueJournal::tr("Fichier : %1 (les envois les plus récents en bas)")
                       .arg(NomLisible(CheminJournal()).toHtmlEscaped()),
                   this);
    fichier->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_texte->setObjectName(QStringLiteral("texteJournal"));
    m_texte->setReadOnly(true);
    m_texte->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_texte->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_texte->setAccessibleName(DialogueJournal::tr("Journal des envois"));
    m_texte->setPlainText(dernierEnregistrements());
    m_texte->verticalScrollBar()->setValue(m_texte->verticalScrollBar()->maximum());

    auto *boutons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto *copier = boutons->addButton(DialogueJournal::tr("&Copier la sélection"),
                                      QDialogButtonBox::ActionRole);
    copier->setObjectName(QStringLiteral("copierJournal"));
    connect(copier, &QPushButton::clicked, this, &DialogueJournal::copierSelection);
    connect(boutons, &QDialogButtonBox::rejected, this, &DialogueJournal::reject);
    auto *mise = new QVBoxLayout(this);
    mise->addWidget(fichier);
    mise->addWidget(m_texte);
    mise->addWidget(boutons);
    resize(900, 420);
}

QString DialogueJournal::texte() const
{
    return m_texte->toPlainText();
}

void DialogueJournal::copierSelection()
{
    const QString selection = m_texte->textCursor().selectedText();
    // Lines in a selection come with U+2029 between them.
    QApplication::clipboard()->setText(
        QString(selection).replace(QChar::ParagraphSeparator, u'\n'));
}
