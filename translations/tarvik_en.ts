<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="fr_FR">
<context>
    <name>Aide</name>
    <message>
        <source>Utilisation&#xa0;: tarvik-envoyer FICHIER [--port PERIPHERIQUE] [--attendre SECONDES]
                             [--depuis N] [--repeter N] [--langue LANGUE]
              tarvik-envoyer --verifier FICHIER [--port PERIPHERIQUE]
                             [--depuis N] [--repeter N]

Envoie à la carte les sept lignes d&apos;un fichier de séquence (.seq), comme
«&#xa0;TEST&#xa0;» les envoie depuis le panneau&#xa0;: le fichier entier est vérifié avant
l&apos;ouverture du port, avec les mêmes verrous, la même attente de vidage et la
même limite de 2 s. FICHIER «&#xa0;-&#xa0;» lit l&apos;entrée standard jusqu&apos;à sa fin, même
lente ou non bloquante. Les lignes envoyées s&apos;affichent sur la sortie
standard, les messages sur la sortie d&apos;erreur.

FICHIER peut aussi être un programme (.prog)&#xa0;: ses étapes partent l&apos;une après
l&apos;autre, avec les attentes qu&apos;il donne, le port gardé du début à la fin.
L&apos;avancement s&apos;affiche sur la sortie d&apos;erreur quand c&apos;est un terminal.
SIGINT (Ctrl+C) arrête le programme comme «&#xa0;Arrêter&#xa0;» dans le panneau&#xa0;: plus
rien n&apos;est envoyé, mais des lignes remises au port ne se rappellent pas&#xa0;;
pour arrêter la machine, utilisez son arrêt d&apos;urgence.

Options&#xa0;:
  --port PERIPHERIQUE  envoie sur ce périphérique au lieu du port choisi
  --verifier FICHIER   vérifie seulement, affiche les lignes qui seraient
                       envoyées (pour un programme&#xa0;: chaque étape, puis le
                       total des attentes) et nomme (sur la sortie d&apos;erreur)
                       le port où elles partiraient, sans ouvrir aucun
                       port&#xa0;; accepte les mêmes options que l&apos;envoi
  --attendre SECONDES  attend, au plus ce nombre de secondes, que le port
                       soit présent et libre, en disant sur la sortie
                       d&apos;erreur ce qu&apos;il attend, puis envoie&#xa0;; rien n&apos;est
                       jamais renvoyé
  --depuis N           commence le programme à l&apos;étape N (la première est 1)
  --repeter N          parcourt le programme N fois (de 1 à 10000) au lieu
                       du nombre qu&apos;il donne&#xa0;; les parcours suivants
                       reprennent à la première étape
  --langue LANGUE      parle cette langue, parmi&#xa0;: %1&#xa0;;
                       sinon celle choisie dans le panneau, sinon celle du
                       système (LC_ALL, LC_MESSAGES, LANG), le français par
                       défaut. Les octets envoyés ne changent jamais.
  -h, --help           affiche cette aide
  -v, --version        affiche la version

Le port utilisé est, dans l&apos;ordre&#xa0;: celui de --port, celui choisi dans le
panneau («&#xa0;Initialisation › Choisir le port série…&#xa0;»), le lien
/dev/tarvik-port1 s&apos;il existe, puis /dev/ttyS0 (le port série 1). Des
réglages illisibles ne mènent jamais au port série 1&#xa0;: l&apos;envoi est refusé.

Les limites des axes (celles de la machine, /etc/xdg/Tarvik/limites.conf,
et les vôtres) valent ici comme dans le panneau&#xa0;: chaque valeur qui les
dépasse est nommée, et rien n&apos;est envoyé.

Si la sortie standard est pleine ou fermée, un envoi garde son code (la
carte a reçu les lignes) et la sortie d&apos;erreur le signale&#xa0;; --verifier,
dont c&apos;est tout le travail, échoue avec le code 5.

Codes de sortie&#xa0;:
  0    séquence ou programme envoyé et vidé (ou, avec --verifier, fichier
       valide)
  1    fichier refusé, rien n&apos;a été envoyé
  2    mauvaise utilisation (option inconnue ou donnée deux fois, fichier
       manquant ou en trop, entrée standard fermée avec «&#xa0;-&#xa0;», --depuis
       au-delà de la dernière étape)
  3    port refusé ou indisponible, rien n&apos;a été envoyé (avec --attendre&#xa0;:
       encore absent ou occupé au bout de l&apos;attente&#xa0;; avec --verifier&#xa0;:
       réglages illisibles, l&apos;envoi serait refusé)
  4    échec pendant l&apos;écriture, port débranché compris (les lignes parties
       sont nommées&#xa0;; pour un programme, l&apos;étape aussi, et rien n&apos;est
       envoyé après elle)
  5    --verifier n&apos;a pas pu écrire les lignes sur la sortie standard
  6    hors limites&#xa0;: une valeur dépasse les limites des axes, ou un fichier
       de limites est douteux&#xa0;; rien n&apos;a été envoyé
  129, 130, 131, 143
       interrompu par SIGHUP, SIGINT, SIGQUIT ou SIGTERM (128 + le numéro du
       signal)&#xa0;: ce qui attendait est abandonné, le port et ses verrous
       rendus&#xa0;; pendant la lecture de l&apos;entrée standard, rien n&apos;est envoyé

Chaque envoi qui a passé la vérification du fichier laisse une ligne dans le
journal des envois, $XDG_STATE_HOME/tarvik/journal.log&#xa0;; une ligne par étape
pour un programme (FICHIER:N, N le numéro de l&apos;étape).
</source>
        <translation>Usage: tarvik-envoyer FILE [--port DEVICE] [--attendre SECONDS]
                             [--depuis N] [--repeter N] [--langue LANGUAGE]
       tarvik-envoyer --verifier FILE [--port DEVICE]
                             [--depuis N] [--repeter N]

Sends the seven lines of a sequence file (.seq) to the board, as &quot;TEST&quot;
sends them from the panel: the whole file is checked before the port is
opened, with the same locks, the same wait for the output to drain and the
same 2 s limit. FILE &quot;-&quot; reads standard input to its end, even a slow or
non-blocking one. The lines sent are printed on standard output, messages
on standard error.

FILE may also be a program (.prog): its steps go out one after the other,
with the waits it gives, the port held from start to end. Progress is
shown on standard error when that is a terminal. SIGINT (Ctrl+C) stops the
program as &quot;Stop&quot; does in the panel: nothing more is sent, but lines
already handed to the port cannot be recalled; to stop the machine, use
its emergency stop.

Options:
  --port DEVICE        send on this device instead of the chosen port
  --verifier FILE      only check: print the lines that would be sent (for
                       a program: every step, then the total of the waits)
                       and name (on standard error) the port they would go
                       to, opening no port; takes the same options as a
                       send
  --attendre SECONDS   wait, at most this many seconds, for the port to be
                       there and free, saying on standard error what it
                       waits for, then send; nothing is ever sent again
  --depuis N           start the program at step N (the first is 1)
  --repeter N          go through the program N times (1 to 10000)
                       instead of the number it gives; the later cycles start
                       again at the first step
  --langue LANGUAGE    speak this language, one of: %1;
                       otherwise the one chosen in the panel, otherwise the
                       system&apos;s (LC_ALL, LC_MESSAGES, LANG), French by
                       default. The bytes sent never change.
  -h, --help           show this help
  -v, --version        show the version

The port used is, in this order: the one given with --port, the one chosen
in the panel (&quot;Setup › Choose Serial Port…&quot;), the link /dev/tarvik-port1 if
it exists, then /dev/ttyS0 (serial port 1). Unreadable settings never lead
to serial port 1: the send is refused.

The axes&apos; limits (the machine&apos;s, /etc/xdg/Tarvik/limites.conf, and your
own) hold here as in the panel: every value beyond them is named, and
nothing is sent.

If standard output is full or closed, a send keeps its exit code (the board
received the lines) and standard error says so; --verifier, whose whole job
is printing, fails with code 5.

Exit codes:
  0    sequence or program sent and drained (with --verifier: the file is
       valid)
  1    file refused, nothing was sent
  2    wrong usage (unknown option or one given twice, missing or extra
       file, standard input closed with &quot;-&quot;, --depuis past the last step)
  3    port refused or unavailable, nothing was sent (with --attendre: still
       absent or busy when the wait is over; with --verifier: unreadable
       settings, the send would be refused)
  4    failure while writing, the port unplugged included (the lines that
       went out are named; for a program, the step too, and nothing is sent
       after it)
  5    --verifier could not write the lines to standard output
  6    over the limits: a value goes past the axes&apos; limits, or a limits
       file is doubtful; nothing was sent
  129, 130, 131, 143
       interrupted by SIGHUP, SIGINT, SIGQUIT or SIGTERM (128 + the signal
       number): what was still waiting is dropped, the port and its locks
       released; while standard input is read, nothing is sent

Every send that gets past the file&apos;s checks leaves one line in the log of
sends, $XDG_STATE_HOME/tarvik/journal.log; one line per step for a program
(FILE:N, N the step&apos;s number).
</translation>
    </message>
    <message>
        <source>Utilisation&#xa0;: tarvik-carte [--lien CHEMIN] [--sans-fenetre] [--sans-rythme | --lente F]
                    [--bloque-apres N] [--debranche-apres N [--rebranche-apres S]]
                    [--langue LANGUE]

Une carte virtuelle à l&apos;autre bout de la ligne du panneau&#xa0;: elle crée une
paire de pseudo-terminaux, pose un lien vers le bout du panneau, le règle
comme la carte (38400 bauds, 8 bits, sans parité, 1 bit d&apos;arrêt, brut) et
lit ce qui arrive au rythme de cette ligne (3840 octets par seconde). Elle
lit chaque ligne strictement («&#xa0;A+00100:002&#xa0;» et un saut de ligne), dit
chaque anomalie, et tient la position de chaque axe. Lancez ensuite
«&#xa0;tarvik --port LIEN&#xa0;», LIEN étant le port qu&apos;elle dit.

Options&#xa0;:
  --lien CHEMIN        pose le lien là, au lieu de $XDG_RUNTIME_DIR/tarvik-carte
                       (sans XDG_RUNTIME_DIR, aucun lien&#xa0;: le port à choisir
                       est alors le pseudo-terminal lui-même, /dev/pts/N)
  --sans-fenetre       sans fenêtre ni écran&#xa0;: un objet JSON par ligne reçue
                       sur la sortie standard, un résumé sur la sortie
                       d&apos;erreur à la fin (SIGINT, SIGTERM)
  --sans-rythme        lit aussi vite qu&apos;elle peut
  --lente F            lit à la fraction F du rythme (0 &lt; F ≤ 1&#xa0;; 0.1&#xa0;: au
                       dixième)
  --bloque-apres N     cesse de lire après N lignes, comme une carte arrêtée&#xa0;:
                       la ligne se remplit et le panneau finit par son délai
  --debranche-apres N  après N lignes, ferme son bout et retire le lien,
                       comme un adaptateur débranché
  --rebranche-apres S  revient S secondes plus tard (de 0.1 à 3600) sur le
                       même lien, sur un nouveau pseudo-terminal
  --langue LANGUE      parle cette langue, parmi&#xa0;: %1&#xa0;; sinon celle choisie
                       dans le panneau, sinon celle du système (LC_ALL,
                       LC_MESSAGES, LANG), le français par défaut
  -h, --help           affiche cette aide
  -v, --version        affiche la version

Le lien n&apos;est jamais posé sur ce qui existe déjà, sauf sur un lien laissé
par une carte qui ne s&apos;est pas terminée (vers un /dev/pts/N disparu).

Codes de sortie&#xa0;: 0 fenêtre fermée, 2 mauvaise utilisation, 3 port ou lien
impossible à créer (ou à recréer au rebranchement), 129, 130, 131 ou 143
arrêtée par SIGHUP, SIGINT, SIGQUIT ou SIGTERM (le lien est retiré).
</source>
        <translation>Usage: tarvik-carte [--lien PATH] [--sans-fenetre] [--sans-rythme | --lente F]
                   [--bloque-apres N] [--debranche-apres N [--rebranche-apres S]]
                   [--langue LANGUAGE]

A virtual board at the far end of the panel&apos;s line: it makes a pair of
pseudo-terminals, puts a link to the panel&apos;s end, sets the line as the board
does (38400 baud, 8 bits, no parity, 1 stop bit, raw) and reads what comes at
the pace of that line (3840 bytes a second). It reads each line strictly
(&quot;A+00100:002&quot; and a line feed), reports every anomaly, and keeps each
axis&apos;s position. Then start &quot;tarvik --port LINK&quot;, LINK being the port it
names.

Options:
  --lien PATH          put the link there, instead of $XDG_RUNTIME_DIR/tarvik-carte
                       (without XDG_RUNTIME_DIR, no link: the port to choose is
                       then the pseudo-terminal itself, /dev/pts/N)
  --sans-fenetre       no window and no display: one JSON object per line
                       received on standard output, a summary on standard
                       error at the end (SIGINT, SIGTERM)
  --sans-rythme        read as fast as it can
  --lente F            read at the fraction F of the pace (0 &lt; F ≤ 1; 0.1: a
                       tenth)
  --bloque-apres N     stop reading after N lines, as a stalled board: the
                       line fills up and the panel ends on its deadline
  --debranche-apres N  after N lines, close its end and remove the link, as
                       an unplugged adapter
  --rebranche-apres S  come back S seconds later (0.1 to 3600) at the same
                       link, on a new pseudo-terminal
  --langue LANGUAGE    speak this language, one of: %1; otherwise the one
                       chosen in the panel, otherwise the system&apos;s (LC_ALL,
                       LC_MESSAGES, LANG), French by default
  -h, --help           show this help
  -v, --version        show the version

The link never goes over anything that exists, except over a link left by a
board that did not end (to a /dev/pts/N that is gone).

Exit codes: 0 window closed, 2 wrong usage, 3 port or link could not be made
(or made again on replugging), 129, 130, 131 or 143 stopped by SIGHUP,
SIGINT, SIGQUIT or SIGTERM (the link is removed).
</translation>
    </message>
    <message>
        <source>Utilisation&#xa0;: tarvik [--port PERIPHERIQUE] [--langue LANGUE] [FICHIER]

Panneau de commande de la carte à sept axes. «&#xa0;TEST&#xa0;» envoie une ligne de
commande par axe, de A à G, à 38400 bauds, 8 bits, sans parité, 1 bit d&apos;arrêt.

FICHIER s&apos;ouvre au démarrage, sans rien envoyer&#xa0;: un programme (.prog) dans la
fenêtre «&#xa0;Programme&#xa0;», tout autre fichier comme une séquence dans la grille.
S&apos;il ne peut pas être lu ou s&apos;il est refusé, la raison est dite sur la sortie
d&apos;erreur et le panneau ne démarre pas.

Options&#xa0;:
  --port PERIPHERIQUE  envoie sur ce périphérique (/dev/ttyUSB0,
                       /dev/serial/by-id/…, /dev/pts/3) jusqu&apos;à la fermeture
                       du panneau, sans rien enregistrer
  --langue LANGUE      parle cette langue, parmi&#xa0;: %1&#xa0;;
                       sinon celle choisie par «&#xa0;Initialisation › Langue&#xa0;»,
                       sinon celle du système (LC_ALL, LC_MESSAGES, LANG),
                       le français par défaut
  -h, --help           affiche cette aide
  -v, --version        affiche la version

Le port utilisé est, dans l&apos;ordre&#xa0;: celui de --port, celui choisi par
«&#xa0;Initialisation › Choisir le port série…&#xa0;» (enregistré dans
$XDG_CONFIG_HOME/Tarvik/tarvik.conf), le lien /dev/tarvik-port1 s&apos;il existe,
puis /dev/ttyS0 (le port série 1).

Codes de sortie&#xa0;: 0 fenêtre fermée normalement, 1 FICHIER illisible ou
refusé, 2 mauvaise utilisation (option inconnue, sans valeur ou donnée deux
fois, plus d&apos;un fichier), 129, 130, 131 ou 143
arrêté par SIGHUP, SIGINT, SIGQUIT ou SIGTERM (une séquence en cours est
abandonnée, le port et ses verrous sont rendus).
</source>
        <translation>Usage: tarvik [--port DEVICE] [--langue LANGUAGE] [FILE]

Control panel of the seven-axis board. &quot;TEST&quot; sends one command line per
axis, A to G, at 38400 baud, 8 data bits, no parity, 1 stop bit.

FILE opens at start, sending nothing: a program (.prog) in the &quot;Program&quot;
window, any other file as a sequence into the grid. If it cannot be read or
is refused, the reason is given on standard error and the panel does not
start.

Options:
  --port DEVICE        send on this device (/dev/ttyUSB0,
                       /dev/serial/by-id/…, /dev/pts/3) until the panel is
                       closed, without saving anything
  --langue LANGUAGE    speak this language, one of: %1;
                       otherwise the one chosen in &quot;Setup › Language&quot;,
                       otherwise the system&apos;s (LC_ALL, LC_MESSAGES, LANG),
                       French by default
  -h, --help           show this help
  -v, --version        show the version

The port used is, in this order: the one given with --port, the one chosen
in &quot;Setup › Choose Serial Port…&quot; (saved in
$XDG_CONFIG_HOME/Tarvik/tarvik.conf), the link /dev/tarvik-port1 if it
exists, then /dev/ttyS0 (serial port 1).

Exit codes: 0 window closed normally, 1 FILE unreadable or refused, 2 wrong
usage (unknown option, one without its value or one given twice, more than
one file), 129, 130, 131 or 143 stopped by
SIGHUP, SIGINT, SIGQUIT or SIGTERM (a sequence in progress is dropped, the
port and its locks are released).
</translation>
    </message>
</context>
<context>
    <name>Axes</name>
    <message>
        <source>Axe %1</source>
        <translation>Axis %1</translation>
    </message>
</context>
<context>
    <name>Carte</name>
    <message>
        <source>lignes reçues&#xa0;: %1, prises&#xa0;: %2, vides&#xa0;: %3, anomalies&#xa0;: %4&#xa0;; positions&#xa0;: %5</source>
        <translation>lines received: %1, taken: %2, empty: %3, anomalies: %4; positions: %5</translation>
    </message>
    <message>
        <source>octet hors de l&apos;ASCII</source>
        <translation>byte outside ASCII</translation>
    </message>
    <message>
        <source>ligne coupée&#xa0;: une lettre d&apos;axe avant le saut de ligne</source>
        <translation>line cut short: an axis letter before the line feed</translation>
    </message>
    <message>
        <source>longueur fausse&#xa0;: le saut de ligne n&apos;est pas le 12e octet</source>
        <translation>wrong length: the line feed is not the 12th byte</translation>
    </message>
    <message>
        <source>lettre d&apos;axe inconnue</source>
        <translation>unknown axis letter</translation>
    </message>
    <message>
        <source>direction inconnue&#xa0;: ni + ni -</source>
        <translation>unknown direction: neither + nor -</translation>
    </message>
    <message>
        <source>chiffres faux&#xa0;: cinq chiffres, «&#xa0;:&#xa0;», trois chiffres (vitesse au plus 255)</source>
        <translation>wrong digits: five digits, &quot;:&quot;, three digits (speed 255 at most)</translation>
    </message>
    <message>
        <source>le dossier «&#xa0;%1&#xa0;» est inaccessible (%2)</source>
        <translation>the folder “%1” cannot be reached (%2)</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» n&apos;est pas un dossier</source>
        <translation>“%1” is not a folder</translation>
    </message>
    <message>
        <source>le dossier «&#xa0;%1&#xa0;» appartient à un autre utilisateur</source>
        <translation>the folder “%1” belongs to another user</translation>
    </message>
    <message>
        <source>le dossier «&#xa0;%1&#xa0;» est modifiable par d&apos;autres (mode %2)&#xa0;: le lien pourrait y être remplacé</source>
        <translation>the folder “%1” can be written by others (mode %2): the link could be replaced there</translation>
    </message>
    <message>
        <source>un lien vers «&#xa0;%1&#xa0;»</source>
        <translation>a link to “%1”</translation>
    </message>
    <message>
        <source>un dossier</source>
        <translation>a folder</translation>
    </message>
    <message>
        <source>un fichier</source>
        <translation>a file</translation>
    </message>
    <message>
        <source>XDG_RUNTIME_DIR n&apos;est pas défini (ou n&apos;est pas un chemin absolu)</source>
        <translation>XDG_RUNTIME_DIR is not set (or is not an absolute path)</translation>
    </message>
    <message>
        <source>XDG_RUNTIME_DIR («&#xa0;%1&#xa0;») n&apos;est pas un dossier à vous, fermé aux autres</source>
        <translation>XDG_RUNTIME_DIR (“%1”) is not a folder of yours, closed to others</translation>
    </message>
    <message>
        <source>le lien laissé par une carte précédente, «&#xa0;%1&#xa0;», ne peut pas être retiré (%2)</source>
        <translation>the link left by an earlier board, “%1”, cannot be removed (%2)</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» existe déjà (%2)&#xa0;: une autre carte le tient peut-être. Arrêtez-la, retirez-le s&apos;il ne sert plus, ou donnez un autre chemin par --lien</source>
        <translation>“%1” already exists (%2): another board may hold it. Stop it, remove it if it is no longer used, or give another path with --lien</translation>
    </message>
    <message>
        <source>le lien «&#xa0;%1&#xa0;» ne peut pas être créé (%2)</source>
        <translation>the link “%1” cannot be created (%2)</translation>
    </message>
    <message>
        <source>aucun pseudo-terminal n&apos;a pu être créé (%1)</source>
        <translation>no pseudo-terminal could be created (%1)</translation>
    </message>
    <message>
        <source>le pseudo-terminal «&#xa0;%1&#xa0;» ne s&apos;ouvre pas (%2)</source>
        <translation>the pseudo-terminal “%1” does not open (%2)</translation>
    </message>
    <message>
        <source>argument inattendu&#xa0;: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>--port est l&apos;option du panneau&#xa0;: la carte pose son lien où --lien le dit</source>
        <translation>--port is the panel&apos;s option: the board puts its link where --lien says</translation>
    </message>
    <message>
        <source>--lien demande un chemin</source>
        <translation>--lien needs a path</translation>
    </message>
    <message>
        <source>--lente et --sans-rythme ne vont pas ensemble</source>
        <translation>--lente and --sans-rythme do not go together</translation>
    </message>
    <message>
        <source>--lente prend une fraction du rythme, de plus de 0 à 1 (0.1), et non «&#xa0;%1&#xa0;»</source>
        <translation>--lente takes a fraction of the pace, above 0 up to 1 (0.1), not “%1”</translation>
    </message>
    <message>
        <source>--%1 prend un nombre de lignes, de %2 à %3, et non «&#xa0;%4&#xa0;»</source>
        <translation>--%1 takes a number of lines, from %2 to %3, not “%4”</translation>
    </message>
    <message>
        <source>--rebranche-apres va avec --debranche-apres</source>
        <translation>--rebranche-apres goes with --debranche-apres</translation>
    </message>
    <message>
        <source>--rebranche-apres prend un nombre de secondes, de 0.1 à 3600, et non «&#xa0;%1&#xa0;»</source>
        <translation>--rebranche-apres takes a number of seconds, from 0.1 to 3600, not “%1”</translation>
    </message>
    <message>
        <source>limites douteuses, aucune course montrée</source>
        <translation>doubtful limits, no travel shown</translation>
    </message>
    <message>
        <source>%1&#xa0;: aucun lien n&apos;est posé, le port à choisir est le pseudo-terminal lui-même (ou donnez --lien)</source>
        <translation>%1: no link is put, the port to choose is the pseudo-terminal itself (or give --lien)</translation>
    </message>
    <message>
        <source>Carte prête&#xa0;: choisissez le port «&#xa0;%1&#xa0;»</source>
        <translation>Board ready: choose the port “%1”</translation>
    </message>
    <message>
        <source>Carte rebranchée&#xa0;: le port «&#xa0;%1&#xa0;» est revenu</source>
        <translation>Board plugged back in: the port “%1” is back</translation>
    </message>
    <message>
        <source>Carte débranchée&#xa0;: le port «&#xa0;%1&#xa0;» a disparu</source>
        <translation>Board unplugged: the port “%1” is gone</translation>
    </message>
    <message>
        <source>&#xa0;; sortie standard incomplète (%1 lignes perdues, %2)</source>
        <translation>; standard output incomplete (%1 lines lost, %2)</translation>
    </message>
    <message>
        <source>personne ne la lit</source>
        <translation>nobody reads it</translation>
    </message>
</context>
<context>
    <name>Course</name>
    <message numerus="yes">
        <source>+%n pas</source>
        <translation>
            <numerusform>+%n step</numerusform>
            <numerusform>+%n steps</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>-%n pas</source>
        <translation>
            <numerusform>-%n step</numerusform>
            <numerusform>-%n steps</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n pas</source>
        <translation>
            <numerusform>%n step</numerusform>
            <numerusform>%n steps</numerusform>
        </translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;»</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>cet envoi</source>
        <translation>this send</translation>
    </message>
    <message>
        <source>l&apos;étape %1 du parcours %2</source>
        <translation>step %1 of cycle %2</translation>
    </message>
    <message>
        <source>l&apos;étape %1 (%2) du parcours %3</source>
        <translation>step %1 (%2) of cycle %3</translation>
    </message>
    <message>
        <source>%1&#xa0;: position inconnue dès %2, dont la direction %3 n&apos;est ni «&#xa0;+&#xa0;» ni «&#xa0;-&#xa0;»&#xa0;; jusque-là, au plus bas %4, au plus haut %5.</source>
        <translation>%1: position unknown from %2, whose direction %3 is neither “+” nor “-”; until then, lowest %4, highest %5.</translation>
    </message>
    <message>
        <source>%1&#xa0;: au plus bas %2, au plus haut %3&#xa0;; à la fin %4.</source>
        <translation>%1: lowest %2, highest %3; at the end %4.</translation>
    </message>
    <message>
        <source>%1&#xa0;: %2 à chaque parcours&#xa0;; au plus bas %3, au plus haut %4&#xa0;; à la fin %5.</source>
        <translation>%1: %2 each cycle; lowest %3, highest %4; at the end %5.</translation>
    </message>
    <message>
        <source>limite de la machine</source>
        <translation>the machine&apos;s limit</translation>
    </message>
    <message>
        <source>votre limite</source>
        <translation>your limit</translation>
    </message>
    <message>
        <source>Positions comptées depuis le départ du programme, pris comme 0&#xa0;: Tarvik ne sait pas où se trouve vraiment la machine.</source>
        <translation>Positions counted from the program&apos;s start, taken as 0: Tarvik does not know where the machine really is.</translation>
    </message>
    <message>
        <source>Aucun axe ne bouge.</source>
        <translation>No axis moves.</translation>
    </message>
    <message numerus="yes">
        <source>l&apos;axe %1 avance de %2 à chaque parcours&#xa0;: %3 après %n parcours</source>
        <translation>
            <numerusform>axis %1 moves on by %2 each cycle: %3 after %n cycle</numerusform>
            <numerusform>axis %1 moves on by %2 each cycle: %3 after %n cycles</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>l&apos;axe %1 recule de %2 à chaque parcours&#xa0;: %3 après %n parcours</source>
        <translation>
            <numerusform>axis %1 moves back by %2 each cycle: %3 after %n cycle</numerusform>
            <numerusform>axis %1 moves back by %2 each cycle: %3 after %n cycles</numerusform>
        </translation>
    </message>
    <message>
        <source>Course refusée pour %1&#xa0;: %2 l&apos;amène à %3 de son départ.
Cet axe ne va pas à plus de %4 de son départ, d&apos;un côté comme de l&apos;autre (%5)</source>
        <translation>Travel refused for %1: %2 takes it to %3 from its start.
This axis goes no further than %4 from its start, either way (%5)</translation>
    </message>
    <message>
        <source>Course refusée pour %1&#xa0;: %2 l&apos;envoie dans la direction %3, ni «&#xa0;+&#xa0;» ni «&#xa0;-&#xa0;»&#xa0;: nul ne peut dire où elle l&apos;amène.
Cet axe ne va pas à plus de %4 de son départ (%5)&#xa0;: chacune de ses directions doit être «&#xa0;+&#xa0;» ou «&#xa0;-&#xa0;»</source>
        <translation>Travel refused for %1: %2 sends it in the direction %3, neither “+” nor “-”: no one can tell where that takes it.
This axis goes no further than %4 from its start (%5): each of its directions must be “+” or “-”</translation>
    </message>
</context>
<context>
    <name>Envoyeur</name>
    <message>
        <source>la sortie standard est fermée</source>
        <translation>standard output is closed</translation>
    </message>
    <message>
        <source>un seul fichier à la fois</source>
        <translation>one file at a time</translation>
    </message>
    <message>
        <source>il manque le fichier de séquence</source>
        <translation>the sequence file is missing</translation>
    </message>
    <message>
        <source>.
%1.
Rien n&apos;a été envoyé</source>
        <translation>.
%1.
Nothing was sent</translation>
    </message>
    <message>
        <source>les lignes n&apos;ont pas pu être écrites sur la sortie standard (%1)</source>
        <translation>the lines could not be written to standard output (%1)</translation>
    </message>
    <message>
        <source>signaux impossibles à surveiller</source>
        <translation>signals cannot be watched</translation>
    </message>
    <message>
        <source>les lignes envoyées n&apos;ont pas pu être écrites sur la sortie standard (%1)</source>
        <translation>the lines sent could not be written to standard output (%1)</translation>
    </message>
    <message>
        <source>interrompu pendant la lecture de la séquence, rien n&apos;a été envoyé</source>
        <translation>interrupted while reading the sequence, nothing was sent</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: %1
</source>
        <translation>tarvik-envoyer: %1
</translation>
    </message>
    <message>
        <source>l&apos;entrée standard est fermée&#xa0;: donnez le fichier par son nom</source>
        <translation>standard input is closed: give the file by its name</translation>
    </message>
    <message>
        <source>--attendre prend un nombre de secondes, de 0 à %1, et non «&#xa0;%2&#xa0;»</source>
        <translation>--attendre takes a number of seconds, from 0 to %1, not “%2”</translation>
    </message>
    <message>
        <source>«&#xa0;Initialisation › Choisir le port série…&#xa0;» dans le panneau</source>
        <translation>“Setup › Choose Serial Port…” in the panel</translation>
    </message>
    <message>
        <source>Donnez le port par --port, ou choisissez-le de nouveau dans le panneau («&#xa0;Initialisation › Choisir le port série…&#xa0;»).</source>
        <translation>Give the port with --port, or choose it again in the panel (“Setup › Choose Serial Port…”).</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: attente du port %1, %2…
</source>
        <translation>tarvik-envoyer: waiting for the port %1, %2…
</translation>
    </message>
    <message>
        <source>la séquence est valide, mais elle ne serait pas envoyée. Port série inconnu&#xa0;: %1.
%2</source>
        <translation>the sequence is valid, but it would not be sent. Unknown serial port: %1.
%2</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: séquence valide, rien n&apos;a été envoyé&#xa0;; elle partirait sur %1.
</source>
        <translation>tarvik-envoyer: valid sequence, nothing was sent; it would go to %1.
</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: %1.
</source>
        <translation>tarvik-envoyer: %1.
</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>au-delà des limites du banc, rien n&apos;a été envoyé&#xa0;:
%1</source>
        <translation>over the bench&apos;s limits, nothing was sent:
%1</translation>
    </message>
    <message>
        <source>les étapes n&apos;ont pas pu être écrites sur la sortie standard (%1)</source>
        <translation>the steps could not be written to standard output (%1)</translation>
    </message>
    <message>
        <source>le programme est valide, mais il ne serait pas envoyé. Port série inconnu&#xa0;: %1.
%2</source>
        <translation>the program is valid, but it would not be sent. Unknown serial port: %1.
%2</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: programme valide, rien n&apos;a été envoyé. Étapes&#xa0;: %1, depuis l&apos;étape %2&#xa0;; parcours&#xa0;: %3&#xa0;; attentes en tout&#xa0;: %4. Il partirait sur %5.
</source>
        <translation>tarvik-envoyer: valid program, nothing was sent. Steps: %1, from step %2; cycles: %3; waits in all: %4. It would go to %5.
</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: programme arrêté par un signal&#xa0;; étapes envoyées en entier&#xa0;: %1&#xa0;; rien n&apos;a été envoyé ensuite. Des lignes remises au port ne se rappellent pas&#xa0;: pour arrêter la machine, utilisez son arrêt d&apos;urgence.
</source>
        <translation>tarvik-envoyer: program stopped by a signal; steps sent whole: %1; nothing was sent after. Lines handed to the port cannot be recalled: to stop the machine, use its emergency stop.
</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: l&apos;étape %1 a échoué au parcours %2, rien n&apos;a été envoyé après elle.
</source>
        <translation>tarvik-envoyer: step %1 failed in cycle %2, nothing was sent after it.
</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: étape %1, parcours %2/%3
</source>
        <translation>tarvik-envoyer: step %1, cycle %2/%3
</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: attente de %1…
</source>
        <translation>tarvik-envoyer: waiting %1…
</translation>
    </message>
    <message>
        <source>--%1 prend un nombre entier de 1 à %2, et non «&#xa0;%3&#xa0;»</source>
        <translation>--%1 takes a whole number from 1 to %2, not &quot;%3&quot;</translation>
    </message>
    <message>
        <source>--depuis %1&#xa0;: le fichier s&apos;arrête à l&apos;étape %2</source>
        <translation>--depuis %1: the file ends at step %2</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: attention, %1.
</source>
        <translation>tarvik-envoyer: warning, %1.
</translation>
    </message>
    <message>
        <source>.
Rien n&apos;a été envoyé</source>
        <translation>.
Nothing was sent</translation>
    </message>
    <message>
        <source>l&apos;entrée standard n&apos;a pas pu être lue</source>
        <translation>standard input could not be read</translation>
    </message>
    <message>
        <source>le fichier «&#xa0;%1&#xa0;» n&apos;a pas pu être lu</source>
        <translation>the file “%1” could not be read</translation>
    </message>
    <message>
        <source>l&apos;entrée standard a été lue et refusée comme séquence</source>
        <translation>standard input was read and refused as a sequence</translation>
    </message>
    <message>
        <source>le fichier «&#xa0;%1&#xa0;» a été lu et refusé comme séquence</source>
        <translation>the file “%1” was read and refused as a sequence</translation>
    </message>
    <message>
        <source>l&apos;entrée standard a été lue et refusée comme programme</source>
        <translation>standard input was read and refused as a program</translation>
    </message>
    <message>
        <source>le fichier «&#xa0;%1&#xa0;» a été lu et refusé comme programme</source>
        <translation>the file “%1” was read and refused as a program</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: interrompu par un signal une fois la séquence envoyée en entier.
</source>
        <translation>tarvik-envoyer: interrupted by a signal once the sequence had been sent whole.
</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: envoi interrompu par un signal avant sa première ligne&#xa0;: rien n&apos;a été envoyé.
</source>
        <translation>tarvik-envoyer: sending interrupted by a signal before its first line: nothing was sent.
</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: %1 est absent pour l&apos;instant&#xa0;: un envoi serait refusé tant qu&apos;il l&apos;est.
</source>
        <translation>tarvik-envoyer: %1 is absent for now: a send would be refused while it is.
</translation>
    </message>
    <message>
        <source>la séquence est valide, mais elle ne serait pas envoyée. Port %1&#xa0;: %2</source>
        <translation>the sequence is valid, but it would not be sent. Port %1: %2</translation>
    </message>
    <message>
        <source>le programme est valide, mais il ne serait pas envoyé. Port %1&#xa0;: %2</source>
        <translation>the program is valid, but it would not be sent. Port %1: %2</translation>
    </message>
    <message>
        <source>interrompu pendant l&apos;attente du port, rien n&apos;a été envoyé</source>
        <translation>interrupted while waiting for the port, nothing was sent</translation>
    </message>
    <message>
        <source>absent</source>
        <translation>absent</translation>
    </message>
    <message>
        <source>occupé par %1</source>
        <translation>busy with %1</translation>
    </message>
    <message>
        <source>occupé</source>
        <translation>busy</translation>
    </message>
    <message>
        <source>le port %1 est toujours %2 après %3 d&apos;attente. Rien n&apos;a été envoyé</source>
        <translation>the port %1 is still %2 after waiting %3. Nothing was sent</translation>
    </message>
    <message>
        <source>tarvik-envoyer&#xa0;: arrêté par un signal avant d&apos;avoir tout écrit&#xa0;: ce qui précède peut être incomplet. Le journal des envois garde l&apos;issue de chaque envoi tenté.
</source>
        <translation>tarvik-envoyer: stopped by a signal before all was written: what is above may be incomplete. The send journal keeps the outcome of every send tried.
</translation>
    </message>
</context>
<context>
    <name>Execution</name>
    <message>
        <source>aucune étape envoyée</source>
        <translation>no step sent</translation>
    </message>
    <message>
        <source>étape %1 envoyée</source>
        <translation>step %1 sent</translation>
    </message>
    <message>
        <source>étapes %1 à %2 envoyées</source>
        <translation>steps %1 to %2 sent</translation>
    </message>
    <message>
        <source>l&apos;étape %1</source>
        <translation>step %1</translation>
    </message>
    <message>
        <source>l&apos;étape %1 (%2)</source>
        <translation>step %1 (%2)</translation>
    </message>
    <message>
        <source>étape 1 non envoyée</source>
        <translation>step 1 not sent</translation>
    </message>
    <message>
        <source>étapes 1 à %1 non envoyées</source>
        <translation>steps 1 to %1 not sent</translation>
    </message>
    <message>
        <source>étapes %1 et %2 envoyées</source>
        <translation>steps %1 and %2 sent</translation>
    </message>
    <message>
        <source>%1 au parcours %2 sur %3</source>
        <translation>%1 in cycle %2 of %3</translation>
    </message>
    <message>
        <source>étapes 1 et 2 non envoyées</source>
        <translation>steps 1 and 2 not sent</translation>
    </message>
    <message>
        <source>%1 au parcours 1</source>
        <translation>%1 in cycle 1</translation>
    </message>
</context>
<context>
    <name>FichierCles</name>
    <message>
        <source>ligne %1&#xa0;: %2</source>
        <translation>line %1: %2</translation>
    </message>
    <message>
        <source>«&#xa0;=&#xa0;» manque dans «&#xa0;%1&#xa0;»&#xa0;: une ligne s&apos;écrit clé=valeur, comme %2</source>
        <translation>“=” is missing in “%1”: a line is written key=value, as in %2</translation>
    </message>
    <message>
        <source>clé «&#xa0;%1&#xa0;»&#xa0;: écrivez «&#xa0;%2&#xa0;», les clés distinguent majuscules et minuscules</source>
        <translation>key “%1”: write “%2”, keys are case-sensitive</translation>
    </message>
    <message>
        <source>clé inconnue «&#xa0;%1&#xa0;» (les clés sont %2)</source>
        <translation>unknown key “%1” (the keys are %2)</translation>
    </message>
    <message>
        <source>marque d&apos;ordre des octets (BOM) au début du fichier&#xa0;: enregistrez-le en UTF-8 sans BOM</source>
        <translation>byte order mark (BOM) at the start of the file: save it as UTF-8 without a BOM</translation>
    </message>
    <message>
        <source>groupe inconnu «&#xa0;%1&#xa0;» (le seul groupe est %2)</source>
        <translation>unknown group “%1” (the only group is %2)</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» est donnée deux fois</source>
        <translation>“%1” is given twice</translation>
    </message>
    <message>
        <source>ligne %1 (%2)&#xa0;: %3</source>
        <translation>line %1 (%2): %3</translation>
    </message>
</context>
<context>
    <name>Fichiers</name>
    <message>
        <source>la ligne doit commencer par la lettre %1 (axes A à G, dans l&apos;ordre)</source>
        <translation>the line must start with the letter %1 (axes A to G, in order)</translation>
    </message>
    <message>
        <source>la ligne doit compter %1 caractères, comme %2+00100:010, et elle en compte %3</source>
        <translation>the line must be %1 characters long, like %2+00100:010, and it is %3</translation>
    </message>
    <message>
        <source>la direction (octet 0x%1) n&apos;est pas un caractère imprimable</source>
        <translation>the direction (byte 0x%1) is not a printable character</translation>
    </message>
    <message>
        <source>la vitesse %1 dépasse %2</source>
        <translation>the speed %1 is over %2</translation>
    </message>
    <message>
        <source>caractère de contrôle</source>
        <translation>control character</translation>
    </message>
    <message>
        <source>caractère de mise en forme invisible</source>
        <translation>invisible formatting character</translation>
    </message>
    <message>
        <source>séparateur de ligne ou de paragraphe</source>
        <translation>line or paragraph separator</translation>
    </message>
    <message>
        <source>le saut de ligne final manque</source>
        <translation>the final line feed is missing</translation>
    </message>
    <message>
        <source>rien ne doit suivre la ligne de l&apos;axe G</source>
        <translation>nothing may follow axis G&apos;s line</translation>
    </message>
    <message>
        <source>texte UTF-8 invalide</source>
        <translation>invalid UTF-8 text</translation>
    </message>
    <message>
        <source>%1 (%2) interdit</source>
        <translation>%1 (%2) not allowed</translation>
    </message>
    <message>
        <source>le nom compte %1 caractères, %2 au plus</source>
        <translation>the name is %1 characters long, %2 at most</translation>
    </message>
    <message>
        <source>Ligne %1&#xa0;: %2</source>
        <translation>Line %1: %2</translation>
    </message>
    <message>
        <source>ligne manquante&#xa0;: il faut sept lignes, de A à G</source>
        <translation>missing line: there must be seven lines, A to G</translation>
    </message>
    <message>
        <source>il n&apos;y a que sept axes&#xa0;: les lignes après la septième doivent rester vides</source>
        <translation>there are only seven axes: the lines after the seventh must stay empty</translation>
    </message>
    <message>
        <source>le nombre de pas doit compter %1 chiffres, et «&#xa0;%2&#xa0;» en a %3</source>
        <translation>the step count must have %1 digits, and “%2” has %3</translation>
    </message>
    <message>
        <source>%1 (ou la direction manque entre la lettre et le nombre de pas, comme %2+00100:010)</source>
        <translation>%1 (or the direction is missing between the letter and the step count, as in %2+00100:010)</translation>
    </message>
    <message>
        <source>la vitesse doit compter %1 chiffres, et «&#xa0;%2&#xa0;» en a %3</source>
        <translation>the speed must have %1 digits, and “%2” has %3</translation>
    </message>
    <message>
        <source>le nombre de pas doit compter %1 chiffres de 0 à 9, et non «&#xa0;%2&#xa0;»</source>
        <translation>the step count must have %1 digits from 0 to 9, not “%2”</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» est attendu après le nombre de pas, et non «&#xa0;%2&#xa0;»</source>
        <translation>“%1” is expected after the step count, not “%2”</translation>
    </message>
    <message>
        <source>la vitesse doit compter %1 chiffres de 0 à 9, et non «&#xa0;%2&#xa0;»</source>
        <translation>the speed must have %1 digits from 0 to 9, not “%2”</translation>
    </message>
</context>
<context>
    <name>Form1</name>
    <message>
        <source>A propos de Tarvik</source>
        <translation>About Tarvik</translation>
    </message>
    <message>
        <source>Ouvrir Sequence</source>
        <translation>Open Sequence</translation>
    </message>
    <message>
        <source>Enregistrer Sequence</source>
        <translation>Save Sequence</translation>
    </message>
    <message>
        <source>Effacer Sequence Actuelle</source>
        <translation>Clear Current Sequence</translation>
    </message>
    <message>
        <source>Journal des envois…</source>
        <translation>Send Log…</translation>
    </message>
    <message>
        <source>Quitter le programme</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>Ouvrir un fichier de designation d&apos;axes</source>
        <translation>Open an Axis Names File</translation>
    </message>
    <message>
        <source>Choisir le port série…</source>
        <translation>Choose Serial Port…</translation>
    </message>
    <message>
        <source>Comment Créer un fichier de désignation d&apos;axes ?</source>
        <translation>How to Create an Axis Names File?</translation>
    </message>
    <message>
        <source>Schémas Electronique de la Carte</source>
        <translation>Board Schematics</translation>
    </message>
    <message>
        <source>Le programme en Assembleur</source>
        <translation>Assembly Program</translation>
    </message>
    <message>
        <source>Le Fichier Intel .HEX</source>
        <translation>Intel .HEX File</translation>
    </message>
    <message>
        <source>&amp;Fichier</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Initialisation</source>
        <translation>&amp;Setup</translation>
    </message>
    <message>
        <source>&amp;Aide</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>Limites des axes…</source>
        <translation>Axis Limits…</translation>
    </message>
    <message>
        <source>&amp;Programme…</source>
        <translation>&amp;Program…</translation>
    </message>
    <message>
        <source>Le fichier «&#xa0;%1&#xa0;» n&apos;a pas pu être lu.
%2.
Rien n&apos;a été changé.</source>
        <translation>The file “%1” could not be read.
%2.
Nothing was changed.</translation>
    </message>
    <message>
        <source>Le fichier «&#xa0;%1&#xa0;» a été lu, mais refusé.
%2.
Rien n&apos;a été changé.</source>
        <translation>The file “%1” was read, but refused.
%2.
Nothing was changed.</translation>
    </message>
    <message>
        <source>Annuler l&apos;effacement</source>
        <translation>Undo Clear</translation>
    </message>
    <message>
        <source>Rappeler la grille précédente</source>
        <translation>Recall Previous Grid</translation>
    </message>
</context>
<context>
    <name>Grille</name>
    <message>
        <source>Pas</source>
        <translation>Steps</translation>
    </message>
    <message>
        <source>Direction</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>Vitesse</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>La direction doit être un caractère imprimable de la page de code Windows-1252</source>
        <translation>The direction must be a printable character of the Windows-1252 code page</translation>
    </message>
    <message>
        <source>Le nombre de pas doit être compris entre %1 et %2</source>
        <translation>The step count must be between %1 and %2</translation>
    </message>
    <message>
        <source>La vitesse doit être comprise entre 0 et %1</source>
        <translation>The speed must be between 0 and %1</translation>
    </message>
    <message>
        <source>case vide, lue comme %1</source>
        <translation>empty box, read as %1</translation>
    </message>
    <message>
        <source>case vide, envoyée comme une espace</source>
        <translation>empty box, sent as a space</translation>
    </message>
    <message>
        <source>Valeur refusée pour %1, colonne «&#xa0;%2&#xa0;»&#xa0;: «&#xa0;%3&#xa0;».
%4</source>
        <translation>Value refused for %1, column “%2”: “%3”.
%4</translation>
    </message>
    <message>
        <source>lu comme %1&#xa0;: «&#xa0;&amp;H&#xa0;» et «&#xa0;&amp;O&#xa0;» annoncent un nombre hexadécimal ou octal</source>
        <translation>read as %1: “&amp;H” and “&amp;O” start a hexadecimal or octal number</translation>
    </message>
    <message>
        <source>lu comme %1&#xa0;: les blancs sont ignorés</source>
        <translation>read as %1: blanks are ignored</translation>
    </message>
    <message>
        <source>seul le premier caractère part&#xa0;: «&#xa0;%1&#xa0;»</source>
        <translation>only the first character goes: “%1”</translation>
    </message>
    <message>
        <source>lu comme %1&#xa0;: seul le nombre du début est lu, puis arrondi</source>
        <translation>read as %1: only the number at the start is read, then rounded</translation>
    </message>
    <message>
        <source>limite de la machine</source>
        <translation>the machine&apos;s limit</translation>
    </message>
    <message>
        <source>votre limite</source>
        <translation>your limit</translation>
    </message>
    <message>
        <source>Cet axe va jusqu&apos;à la vitesse %1 au plus (%2)</source>
        <translation>This axis goes up to speed %1 at most (%2)</translation>
    </message>
    <message>
        <source>Cet axe n&apos;accepte que les directions «&#xa0;%1&#xa0;» (%2)</source>
        <translation>This axis takes only the directions “%1” (%2)</translation>
    </message>
    <message>
        <source>La lecture stricte du banc demande exactement un caractère</source>
        <translation>The bench&apos;s strict reading asks for exactly one character</translation>
    </message>
    <message>
        <source>La lecture stricte du banc demande des chiffres seulement (%1)</source>
        <translation>The bench&apos;s strict reading asks for digits only (%1)</translation>
    </message>
    <message>
        <source>lu comme %1&#xa0;: «&#xa0;%2&#xa0;» annonce un nombre hexadécimal ou octal, et aucun de ses chiffres ne le suit</source>
        <translation>read as %1: “%2” announces a hexadecimal or octal number, and none of its digits follows it</translation>
    </message>
    <message>
        <source>lu comme %1&#xa0;: la virgule arrête le nombre&#xa0;; une décimale s&apos;écrit avec un point («&#xa0;%2&#xa0;»)</source>
        <translation>read as %1: the comma ends the number; decimals are written with a point (“%2”)</translation>
    </message>
    <message>
        <source>lu comme %1&#xa0;: la case ne contient aucun chiffre, et une case sans nombre vaut 0</source>
        <translation>read as %1: the box holds no digit, and a box without a number counts as 0</translation>
    </message>
    <message>
        <source>lu comme %1&#xa0;: la case ne commence pas par un nombre, et seul un nombre au début est lu (sans lui, elle vaut 0)</source>
        <translation>read as %1: the box does not start with a number, and only a number at the start is read (without one, it counts as 0)</translation>
    </message>
    <message>
        <source>%1, %2&#xa0;: «&#xa0;%3&#xa0;» — %4</source>
        <translation>%1, %2: “%3” — %4</translation>
    </message>
    <message>
        <source>une espace</source>
        <translation>a space</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;»</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>%1, %2&#xa0;: case vide, partira comme %3</source>
        <translation>%1, %2: empty box, will go out as %3</translation>
    </message>
    <message>
        <source>%1, %2&#xa0;: «&#xa0;%3&#xa0;» partira comme %4</source>
        <translation>%1, %2: “%3” will go out as %4</translation>
    </message>
    <message numerus="yes">
        <source>Cet axe va jusqu&apos;à %n pas au plus (%1)</source>
        <translation>
            <numerusform>This axis goes up to %n step at most (%1)</numerusform>
            <numerusform>This axis goes up to %n steps at most (%1)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Journal</name>
    <message numerus="yes">
        <source>%n ligne</source>
        <translation>
            <numerusform>%n line</numerusform>
            <numerusform>%n lines</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n lignes</source>
        <translation>
            <numerusform>%n line</numerusform>
            <numerusform>%n lines</numerusform>
        </translation>
    </message>
    <message>
        <source>Séquence envoyée sur %1 (%2)</source>
        <translation>Sequence sent on %1 (%2)</translation>
    </message>
    <message>
        <source>Séquence envoyée sur %1 (%2). %3</source>
        <translation>Sequence sent on %1 (%2). %3</translation>
    </message>
    <message>
        <source>Séquence refusée par le port %1&#xa0;: %2</source>
        <translation>Sequence refused by port %1: %2</translation>
    </message>
    <message>
        <source>Séquence refusée&#xa0;: %1</source>
        <translation>Sequence refused: %1</translation>
    </message>
    <message>
        <source>Échec de l&apos;envoi sur %1&#xa0;: %2</source>
        <translation>Send failed on %1: %2</translation>
    </message>
    <message>
        <source>Envoi interrompu sur %1&#xa0;: %2</source>
        <translation>Send interrupted on %1: %2</translation>
    </message>
    <message>
        <source>Port %1&#xa0;: %2</source>
        <translation>Port %1: %2</translation>
    </message>
    <message>
        <source>Envoi arrêté sur %1&#xa0;: %2</source>
        <translation>Send stopped on %1: %2</translation>
    </message>
</context>
<context>
    <name>Langues</name>
    <message>
        <source>français</source>
        <translation>French</translation>
    </message>
    <message>
        <source>anglais</source>
        <translation>English</translation>
    </message>
</context>
<context>
    <name>Limites</name>
    <message>
        <source>%1 doit s&apos;écrire en chiffres seuls, de 0 à %2 («&#xa0;%3&#xa0;»)</source>
        <translation>%1 must be written in digits alone, from 0 to %2 (“%3”)</translation>
    </message>
    <message>
        <source>%1 %2 dépasse %3</source>
        <translation>%1 %2 is over %3</translation>
    </message>
    <message>
        <source>aucune direction donnée</source>
        <translation>no direction given</translation>
    </message>
    <message>
        <source>une direction ne peut pas être un blanc (%1)</source>
        <translation>a direction cannot be a blank (%1)</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» (%2) n&apos;est pas une direction possible&#xa0;: il faut un caractère imprimable de Windows-1252</source>
        <translation>“%1” (%2) cannot be a direction: it takes a printable Windows-1252 character</translation>
    </message>
    <message>
        <source>la direction «&#xa0;%1&#xa0;» est donnée deux fois</source>
        <translation>the direction “%1” is given twice</translation>
    </message>
    <message>
        <source>la lecture est «&#xa0;stricte&#xa0;» ou «&#xa0;souple&#xa0;», pas «&#xa0;%1&#xa0;»</source>
        <translation>reading is “stricte” or “souple”, not “%1”</translation>
    </message>
    <message>
        <source>le nombre de pas</source>
        <translation>the step count</translation>
    </message>
    <message>
        <source>la vitesse</source>
        <translation>the speed</translation>
    </message>
    <message>
        <source>le fichier de limites «&#xa0;%1&#xa0;» est douteux&#xa0;: %2</source>
        <translation>the limits file “%1” is doubtful: %2</translation>
    </message>
    <message>
        <source>ces limites ne peuvent pas être enregistrées&#xa0;: %1</source>
        <translation>these limits cannot be saved: %1</translation>
    </message>
    <message>
        <source>la course</source>
        <translation>the travel</translation>
    </message>
    <message>
        <source>son groupe et tous les autres peuvent le modifier</source>
        <translation>its group and everyone else may change it</translation>
    </message>
    <message>
        <source>son groupe peut le modifier</source>
        <translation>its group may change it</translation>
    </message>
    <message>
        <source>tous les autres peuvent le modifier</source>
        <translation>everyone else may change it</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» ne peut pas être examiné (%2)</source>
        <translation>“%1” cannot be examined (%2)</translation>
    </message>
    <message>
        <source>le lien «&#xa0;%1&#xa0;» ne mène à rien</source>
        <translation>the link “%1” leads nowhere</translation>
    </message>
    <message>
        <source>le lien «&#xa0;%1&#xa0;» ne peut pas être suivi</source>
        <translation>the link “%1” cannot be followed</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» n&apos;est pas un dossier</source>
        <translation>“%1” is not a folder</translation>
    </message>
    <message>
        <source>Pour le protéger&#xa0;: «&#xa0;%1&#xa0;»</source>
        <translation>To protect it: “%1”</translation>
    </message>
    <message>
        <source>il appartient à l&apos;utilisateur n° %1 et non à root (mode %2)&#xa0;: cet utilisateur peut le changer. %3</source>
        <translation>it belongs to user ID %1, not to root (mode %2): that user can change it. %3</translation>
    </message>
    <message>
        <source>il appartient bien à root, mais %1 (mode %2), alors que seul root doit pouvoir le modifier. %3</source>
        <translation>it does belong to root, but %1 (mode %2), while only root may change it. %3</translation>
    </message>
    <message>
        <source>le dossier «&#xa0;%1&#xa0;», sur son chemin, appartient à l&apos;utilisateur n° %2 (mode %3)&#xa0;: chaque dossier jusqu&apos;au fichier doit appartenir à root. %4</source>
        <translation>the folder “%1”, on its path, belongs to user ID %2 (mode %3): every folder down to the file must belong to root. %4</translation>
    </message>
    <message>
        <source>le dossier «&#xa0;%1&#xa0;», sur son chemin, n&apos;est pas protégé&#xa0;: %2 (mode %3), et seul root doit pouvoir le modifier. %4</source>
        <translation>the folder “%1”, on its path, is not protected: %2 (mode %3), and only root may change it. %4</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» appartient à l&apos;utilisateur n° %2, dans un dossier ouvert à tous&#xa0;: lui seul, ou root, peut l&apos;y remplacer. Pour le protéger&#xa0;: «&#xa0;%3&#xa0;»</source>
        <translation>“%1” belongs to user ID %2, in a folder open to everyone: only that user, or root, can replace it there. To protect it: “%3”</translation>
    </message>
    <message>
        <source>le fichier de limites «&#xa0;%1&#xa0;» est douteux, car il n&apos;est pas protégé&#xa0;: %2</source>
        <translation>the limits file “%1” is doubtful, as it is not protected: %2</translation>
    </message>
    <message>
        <source>lecture, et pour chaque axe de A à G&#xa0;: A.pas, A.vitesse, A.directions, A.course</source>
        <translation>lecture, and for each axis from A to G: A.pas, A.vitesse, A.directions, A.course</translation>
    </message>
    <message>
        <source>&#xa0;; </source>
        <comment>between two reasons</comment>
        <translation>; </translation>
    </message>
</context>
<context>
    <name>Options</name>
    <message>
        <source>Affiche cette aide.</source>
        <translation>Shows this help.</translation>
    </message>
    <message>
        <source>Affiche la version.</source>
        <translation>Shows the version.</translation>
    </message>
    <message>
        <source>Utilise ce périphérique.</source>
        <translation>Uses this device.</translation>
    </message>
    <message>
        <source>valeur manquante après %1</source>
        <translation>missing value after %1</translation>
    </message>
    <message>
        <source>une option</source>
        <translation>an option</translation>
    </message>
    <message>
        <source>--port demande un périphérique, par exemple /dev/ttyUSB0</source>
        <translation>--port needs a device, for example /dev/ttyUSB0</translation>
    </message>
    <message>
        <source>l&apos;option %1 est donnée deux fois</source>
        <translation>option %1 is given twice</translation>
    </message>
    <message>
        <source>Parle cette langue (%1).</source>
        <translation>Speaks this language (%1).</translation>
    </message>
    <message>
        <source>option inconnue&#xa0;: %1%2</source>
        <translation>unknown option: %1%2</translation>
    </message>
    <message>
        <source>--langue prend %1, et non «&#xa0;%2&#xa0;»</source>
        <translation>--langue takes %1, not “%2”</translation>
    </message>
    <message>
        <source>%1&#xa0;: %2
Essayez «&#xa0;%1 --help&#xa0;».
</source>
        <translation>%1: %2
Try “%1 --help”.
</translation>
    </message>
</context>
<context>
    <name>Port</name>
    <message>
        <source>%1 (donné par --port)</source>
        <translation>%1 (given with --port)</translation>
    </message>
    <message>
        <source>inconnu (réglages illisibles)</source>
        <translation>unknown (unreadable settings)</translation>
    </message>
    <message>
        <source>%1 (choisi par %2)</source>
        <translation>%1 (chosen with %2)</translation>
    </message>
    <message>
        <source>%1 (port série 1)</source>
        <translation>%1 (serial port 1)</translation>
    </message>
    <message>
        <source>aucun port n&apos;a été donné</source>
        <translation>no port was given</translation>
    </message>
    <message>
        <source>envoi interrompu</source>
        <translation>send interrupted</translation>
    </message>
    <message>
        <source>c&apos;est un fichier ordinaire, pas un port série</source>
        <translation>it is a regular file, not a serial port</translation>
    </message>
    <message>
        <source>c&apos;est un dossier, pas un port série</source>
        <translation>it is a folder, not a serial port</translation>
    </message>
    <message>
        <source>c&apos;est un tube, pas un port série</source>
        <translation>it is a pipe, not a serial port</translation>
    </message>
    <message>
        <source>c&apos;est une socket, pas un port série</source>
        <translation>it is a socket, not a serial port</translation>
    </message>
    <message>
        <source>ce n&apos;est pas un port série (disque)</source>
        <translation>it is not a serial port (a disk)</translation>
    </message>
    <message>
        <source>c&apos;est un terminal du système (console ou terminal de contrôle), pas un port série</source>
        <translation>it is one of the system&apos;s terminals (the console or the controlling terminal), not a serial port</translation>
    </message>
    <message>
        <source>c&apos;est une console virtuelle, pas un port série</source>
        <translation>it is a virtual console, not a serial port</translation>
    </message>
    <message>
        <source>c&apos;est le côté maître d&apos;un pseudo-terminal, pas un port série</source>
        <translation>it is the master side of a pseudo-terminal, not a serial port</translation>
    </message>
    <message>
        <source>port absent</source>
        <translation>port absent</translation>
    </message>
    <message>
        <source>permission refusée (l&apos;utilisateur doit pouvoir écrire sur le port, par exemple comme membre du groupe dialout)</source>
        <translation>permission denied (the user must be allowed to write to the port, for example as a member of the dialout group)</translation>
    </message>
    <message>
        <source>le périphérique a changé pendant son ouverture</source>
        <translation>the device changed while it was being opened</translation>
    </message>
    <message>
        <source>écriture échouée (%1)</source>
        <translation>write failed (%1)</translation>
    </message>
    <message>
        <source>les réglages de ligne (38400 bauds, 8 bits, sans parité, 1 bit d&apos;arrêt) sont refusés (%1)</source>
        <translation>the line settings (38400 baud, 8 data bits, no parity, 1 stop bit) are refused (%1)</translation>
    </message>
    <message>
        <source>port occupé par %1, qui l&apos;a ouvert en exclusivité</source>
        <translation>port busy: %1 opened it in exclusive mode</translation>
    </message>
    <message>
        <source>ouverture impossible (%1)</source>
        <translation>cannot open (%1)</translation>
    </message>
    <message>
        <source>port occupé par %1</source>
        <translation>port busy: held by %1</translation>
    </message>
    <message>
        <source>port occupé par un autre programme</source>
        <translation>port busy: held by another program</translation>
    </message>
    <message>
        <source>le processus %1</source>
        <translation>process %1</translation>
    </message>
    <message>
        <source>le processus %1 (%2)</source>
        <translation>process %1 (%2)</translation>
    </message>
    <message>
        <source>il ne désigne aucun processus lisible</source>
        <translation>it names no readable process</translation>
    </message>
    <message>
        <source>port occupé par %1 (verrou %2)</source>
        <translation>port busy: held by %1 (lock %2)</translation>
    </message>
    <message>
        <source>les inconnus</source>
        <translation>the unknown</translation>
    </message>
    <message>
        <source>, </source>
        <translation>, </translation>
    </message>
    <message>
        <source>Supprimez-le s&apos;il n&apos;appartient à aucun programme</source>
        <translation>Delete it if it belongs to no program</translation>
    </message>
    <message>
        <source>le processus %1 (de l&apos;utilisateur %2)</source>
        <translation>process %1 (run by %2)</translation>
    </message>
    <message>
        <source>le processus %1 (%2, de l&apos;utilisateur %3)</source>
        <translation>process %1 (%2, run by %3)</translation>
    </message>
    <message>
        <source>réglages douteux</source>
        <translation>doubtful settings</translation>
    </message>
    <message>
        <source>permission refusée (groupe dialout)</source>
        <translation>permission denied (dialout group)</translation>
    </message>
    <message>
        <source>pas un port série</source>
        <translation>not a serial port</translation>
    </message>
    <message>
        <source>port débranché</source>
        <translation>port unplugged</translation>
    </message>
    <message>
        <source>les réglages %1 sont illisibles (%2)&#xa0;: le port choisi n&apos;est pas connu, et rien n&apos;est envoyé au hasard</source>
        <translation>the settings %1 are unreadable (%2): the chosen port is not known, and nothing is sent at random</translation>
    </message>
    <message>
        <source>Port série 1 (%1)&#xa0;: %2</source>
        <translation>Serial port 1 (%1): %2</translation>
    </message>
    <message>
        <source>Port série %1&#xa0;: %2</source>
        <translation>Serial port %1: %2</translation>
    </message>
    <message>
        <source>Port série inconnu&#xa0;: </source>
        <translation>Unknown serial port: </translation>
    </message>
    <message>
        <source>c&apos;est le multiplexeur des pseudo-terminaux&#xa0;: chaque ouverture crée un terminal que personne ne lit, pas un port série</source>
        <translation>it is the pseudo-terminal multiplexer: each opening creates a terminal nobody reads, not a serial port</translation>
    </message>
    <message>
        <source>ce n&apos;est pas un port série&#xa0;: le noyau range ce périphérique (%1:%2) parmi «&#xa0;%3&#xa0;», pas parmi les terminaux. Il n&apos;a pas été ouvert</source>
        <translation>it is not a serial port: the kernel files this device (%1:%2) under “%3”, not among terminals. It was not opened</translation>
    </message>
    <message>
        <source>c&apos;est une console du système (%1)&#xa0;: les lignes iraient à l&apos;écran ou au journal de la console, pas à la carte. Il n&apos;a pas été ouvert&#xa0;: choisissez un autre port</source>
        <translation>it is a console of the system (%1): the lines would go to the console&apos;s screen or log, not to the board. It was not opened: choose another port</translation>
    </message>
    <message>
        <source>c&apos;est le terminal de ce programme (son entrée, sa sortie ou sa sortie d&apos;erreur)&#xa0;: les lignes s&apos;y afficheraient au lieu de partir vers la carte</source>
        <translation>it is this program&apos;s own terminal (its input, output or error output): the lines would show there instead of going to the board</translation>
    </message>
    <message>
        <source>c&apos;est le terminal de contrôle de ce programme&#xa0;: les lignes s&apos;y afficheraient au lieu de partir vers la carte</source>
        <translation>it is the controlling terminal of this program: the lines would show there instead of going to the board</translation>
    </message>
    <message>
        <source>ce n&apos;est pas un port série&#xa0;: ses réglages de ligne ne peuvent pas être lus</source>
        <translation>it is not a serial port: its line settings cannot be read</translation>
    </message>
    <message>
        <source>délai dépassé&#xa0;: la ligne ne prend plus rien (carte arrêtée, câble débranché, ou pont qui ne lit plus)</source>
        <translation>time is up: the line takes nothing more (the board stopped, the cable unplugged, or a bridge that no longer reads)</translation>
    </message>
    <message>
        <source>port occupé&#xa0;: le verrou %1 est illisible (%2). %3</source>
        <translation>port busy: the lock %1 is unreadable (%2). %3</translation>
    </message>
    <message>
        <source>Il appartient à l&apos;utilisateur %1&#xa0;: s&apos;il n&apos;appartient à aucun programme, un administrateur doit le supprimer</source>
        <translation>It belongs to user %1: if it belongs to no program, an administrator must delete it</translation>
    </message>
    <message>
        <source>port occupé&#xa0;: un autre programme est en train de le prendre (verrou %1)</source>
        <translation>port busy: another program is taking it (lock %1)</translation>
    </message>
    <message>
        <source>Le verrou périmé %1 (le processus %2 n&apos;existe plus) n&apos;a pas pu être supprimé (%3)&#xa0;: il est ignoré</source>
        <translation>The stale lock %1 (process %2 no longer exists) could not be deleted (%3): it is ignored</translation>
    </message>
    <message>
        <source>port occupé&#xa0;: le verrou %1 change sans cesse</source>
        <translation>port busy: the lock %1 keeps changing</translation>
    </message>
    <message>
        <source>port occupé&#xa0;: un autre programme vient de le prendre (verrou %1)</source>
        <translation>port busy: another program has just taken it (lock %1)</translation>
    </message>
    <message>
        <source>le verrou %1 ne peut pas être créé (%2)&#xa0;: sans lui, les autres programmes série ne verraient pas que le port est pris</source>
        <translation>the lock %1 cannot be created (%2): without it, other serial programs would not see that the port is taken</translation>
    </message>
    <message>
        <source>. Le dossier des verrous %1 devrait être ouvert à tous, comme sur une installation habituelle (droits 1777)&#xa0;: un administrateur peut le rétablir, par exemple avec chmod 1777 %1</source>
        <translation>. The lock folder %1 should be open to all, as on a usual installation (mode 1777): an administrator can restore it, for example with chmod 1777 %1</translation>
    </message>
    <message>
        <source>un programme que vous ne pouvez pas voir</source>
        <translation>a program you cannot see</translation>
    </message>
    <message>
        <source>un autre programme</source>
        <translation>another program</translation>
    </message>
    <message>
        <source>dossier des verrous fermé</source>
        <translation>lock folder closed</translation>
    </message>
    <message>
        <source>port occupé par %1 (verrou %2), qui a ce port ouvert</source>
        <translation>port busy: held by %1 (lock %2), which has this port open</translation>
    </message>
    <message>
        <source>La marque %1, qu&apos;un envoi arrêté au milieu d&apos;une ligne a laissée, n&apos;a pas pu être supprimée (%2)&#xa0;: chaque envoi sur ce port commencera par un saut de ligne seul tant qu&apos;elle sera là</source>
        <translation>The mark %1, left by a send that stopped in the middle of a line, could not be deleted (%2): every send on this port will start with a lone line feed while it is there</translation>
    </message>
    <message numerus="yes">
        <source>délai dépassé&#xa0;: %n octet attendait encore de partir</source>
        <translation>
            <numerusform>time is up: %n byte was still waiting to leave</numerusform>
            <numerusform>time is up: %n bytes were still waiting to leave</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>délai dépassé&#xa0;: %n octets attendaient encore de partir</source>
        <translation>
            <numerusform>time is up: %n byte was still waiting to leave</numerusform>
            <numerusform>time is up: %n bytes were still waiting to leave</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 est pris par autre chose qu&apos;une marque de ce programme, de l&apos;utilisateur %2</source>
        <translation>%1 is taken by something other than a mark of this program, belonging to user %2</translation>
    </message>
    <message>
        <source>%1, de l&apos;utilisateur %2, est à la place d&apos;une marque d&apos;envoi coupé sans en être une que ce programme puisse lire&#xa0;: chaque envoi sur ce port commencera par un saut de ligne seul tant qu&apos;il sera là. Un administrateur peut le supprimer</source>
        <translation>%1, belonging to user %2, stands where the mark of a cut send goes without being one this program can read: every send on this port will start with a lone line feed while it is there. An administrator can remove it</translation>
    </message>
    <message>
        <source>port occupé&#xa0;: il est en mode exclusif, et ouvert par %1. Fermez ce programme&#xa0;; si c&apos;est le pont qui fournit le port (socat garde son côté ouvert tant qu&apos;il tourne) et qu&apos;un programme arrêté brutalement a laissé ce mode, fermez puis rouvrez le pont, ou débranchez puis rebranchez l&apos;adaptateur</source>
        <translation>port busy: it is in exclusive mode, and open by %1. Close that program; if it is the bridge that provides the port (socat keeps its side open as long as it runs) and a program that was killed left that mode, close and reopen the bridge, or unplug and plug the adapter back in</translation>
    </message>
    <message>
        <source>port occupé&#xa0;: il est ouvert en exclusivité, peut-être par un programme que vous ne pouvez pas voir (d&apos;un autre utilisateur, ou hors de l&apos;espace de noms de processus de ce programme). «&#xa0;fuser -v %1&#xa0;», lancé par un administrateur, le nomme</source>
        <translation>port busy: it is open in exclusive mode, perhaps by a program you cannot see (another user&apos;s, or outside this program&apos;s pid namespace). “fuser -v %1”, run by an administrator, names it</translation>
    </message>
    <message>
        <source>port occupé&#xa0;: il est en mode exclusif, mais aucun programme ne le tient, et rien ne montre qu&apos;un envoi de ce programme l&apos;a laissé ainsi (un descripteur passé d&apos;un programme à un autre ne se voit pas)&#xa0;: fermez le programme qui l&apos;a ouvert, fermez puis rouvrez le pont qui fournit le port, ou débranchez puis rebranchez l&apos;adaptateur</source>
        <translation>port busy: it is in exclusive mode, but no program holds it, and nothing shows that a send of this program left it so (a descriptor passed from one program to another cannot be seen): close the program that opened it, close and reopen the bridge that provides the port, or unplug and plug the adapter back in</translation>
    </message>
    <message>
        <source>Le port était resté en mode exclusif après un envoi de ce programme arrêté brutalement, et aucun programme ne le tient&#xa0;: ce mode a été levé</source>
        <translation>The port had stayed in exclusive mode after a send of this program was killed, and no program holds it: that mode was cleared</translation>
    </message>
    <message>
        <source>port occupé&#xa0;: le verrou %1 nomme %2, que ce programme ne peut pas voir d&apos;ici (il tourne dans un autre espace de noms de processus, ou /proc en cache)&#xa0;: un programme que vous ne pouvez pas voir peut tenir le port</source>
        <translation>port busy: the lock %1 names %2, which this program cannot see from here (it runs in another pid namespace, or /proc hides it): a program you cannot see may hold the port</translation>
    </message>
    <message>
        <source>port occupé&#xa0;: le verrou %1 nomme %2, que vous n&apos;avez pas le droit d&apos;examiner&#xa0;: un programme que vous ne pouvez pas voir peut tenir le port</source>
        <translation>port busy: the lock %1 names %2, which you may not examine: a program you cannot see may hold the port</translation>
    </message>
    <message>
        <source>. Un administrateur peut le nommer, avec «&#xa0;fuser -v %1&#xa0;» ou d&apos;après le verrou, et supprimer celui-ci s&apos;il n&apos;appartient à aucun programme</source>
        <translation>. An administrator can name it, with “fuser -v %1” or from the lock, and remove the lock if it belongs to no program</translation>
    </message>
    <message>
        <source>port occupé par %1, qui porte le numéro %2 dans un autre espace de noms de processus (verrou %3)</source>
        <translation>port busy: held by %1, which bears the number %2 in another pid namespace (lock %3)</translation>
    </message>
    <message>
        <source>port occupé&#xa0;: le verrou %1, d&apos;un envoi de ce programme arrêté brutalement, reste en place, car la marque qui fera commencer l&apos;envoi suivant par un saut de ligne seul ne peut être écrite nulle part (%2)</source>
        <translation>port busy: the lock %1, of a send of this program that was killed, stays in place, because the mark that will make the next send start with a lone line feed cannot be written anywhere (%2)</translation>
    </message>
    <message>
        <source>Sans dossier des verrous, la trace de cet envoi ne peut pas être gardée (%1)&#xa0;: chaque envoi commencera par un saut de ligne seul</source>
        <translation>With no lock folder, the trace of this send cannot be kept (%1): every send will start with a lone line feed</translation>
    </message>
    <message>
        <source>les réglages %1 sont illisibles (%2)&#xa0;: ils ne sont pas lus, et chaque envoi part donc aussi au journal du système, comme sans réglages, quoi qu&apos;ils disent de journal_systeme</source>
        <translation>the settings %1 cannot be read (%2): they are not read, and so each send goes to the system journal too, as without settings, whatever they say of journal_systeme</translation>
    </message>
    <message>
        <source>port occupé&#xa0;: le dossier des verrous %1 ne peut pas être lu (%2), et un verrou qui s&apos;y trouve peut tenir le port. Un administrateur peut le rouvrir à tous, par exemple avec chmod 1777 %1</source>
        <translation>port busy: the lock folder %1 cannot be read (%2), and a lock in it may hold the port. An administrator can open it to everyone again, for example with chmod 1777 %1</translation>
    </message>
</context>
<context>
    <name>Poste</name>
    <message>
        <source>%1, rien ne restait à envoyer</source>
        <translation>%1, nothing was left to send</translation>
    </message>
    <message>
        <source>%1&#xa0;; %2%3 et les suivantes n&apos;ont pas été envoyées</source>
        <translation>%1; %2%3 and the steps after it were not sent</translation>
    </message>
    <message>
        <source>arrêté par l&apos;opérateur entre deux étapes</source>
        <translation>stopped by the operator between two steps</translation>
    </message>
    <message>
        <source>interrompu par un signal entre deux étapes</source>
        <translation>interrupted by a signal between two steps</translation>
    </message>
    <message>
        <source>débranché puis rebranché&#xa0;: la carte a pu redémarrer&#xa0;; rien n&apos;a été renvoyé</source>
        <translation>unplugged then plugged in again: the board may have restarted; nothing was sent again</translation>
    </message>
    <message>
        <source>le journal des envois «&#xa0;%1&#xa0;»&#xa0;: %2</source>
        <translation>the send log “%1”: %2</translation>
    </message>
    <message>
        <source>%1.
Aucune valeur n&apos;a été comparée aux limites&#xa0;: aucun envoi n&apos;est possible tant qu&apos;un fichier de limites est douteux</source>
        <translation>%1.
No value was compared with the limits: nothing can be sent while a limits file is doubtful</translation>
    </message>
    <message>
        <source>Ces %1 valeurs ne peuvent pas partir&#xa0;:
– %2</source>
        <translation>These %1 values cannot go out:
– %2</translation>
    </message>
    <message>
        <source>&#xa0;;
– </source>
        <translation>;
– </translation>
    </message>
    <message>
        <source>%1&#xa0;: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>%n autre valeur refusée, non reprise ici</source>
        <translation>
            <numerusform>%n other value refused, not repeated here</numerusform>
            <numerusform>%n other values refused, not repeated here</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n autres valeurs refusées, non reprises ici</source>
        <translation>
            <numerusform>%n other value refused, not repeated here</numerusform>
            <numerusform>%n other values refused, not repeated here</numerusform>
        </translation>
    </message>
    <message>
        <source> (parcours %1 sur %2)</source>
        <translation> (cycle %1 of %2)</translation>
    </message>
</context>
<context>
    <name>Programme</name>
    <message>
        <source>version du format inconnue&#xa0;: cette version de Tarvik lit «&#xa0;programme tarvik 1&#xa0;»</source>
        <translation>unknown format version: this version of Tarvik reads “programme tarvik 1”</translation>
    </message>
    <message>
        <source>«&#xa0;programme tarvik 1&#xa0;» est attendu en tête du fichier (seuls des commentaires et des lignes vides peuvent le précéder)</source>
        <translation>“programme tarvik 1” is expected at the top of the file (only comments and blank lines may come before it)</translation>
    </message>
    <message>
        <source>«&#xa0;attendre SECONDES&#xa0;» manque avant cette étape</source>
        <translation>“attendre SECONDS” is missing before this step</translation>
    </message>
    <message>
        <source>aucune étape ne suit cette attente&#xa0;: la dernière étape n&apos;en a pas</source>
        <translation>no step follows this wait: the last step has none</translation>
    </message>
    <message>
        <source>un programme a au plus %1 étapes</source>
        <translation>a program has %1 steps at most</translation>
    </message>
    <message>
        <source>le fichier dépasse %1&#xa0;Mio</source>
        <translation>the file is over %1 MiB</translation>
    </message>
    <message>
        <source>Étape %1&#xa0;: </source>
        <translation>Step %1: </translation>
    </message>
    <message>
        <source>Étape %1 (%2)&#xa0;: </source>
        <translation>Step %1 (%2): </translation>
    </message>
    <message>
        <source>le fichier dépasse %1 Kio</source>
        <translation>the file is larger than %1 KiB</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» s&apos;écrit «&#xa0;%2&#xa0;»&#xa0;: les mots-clés d&apos;un programme n&apos;ont ni accent ni majuscule</source>
        <translation>“%1” is written “%2”: a program&apos;s keywords have no accents and no capitals</translation>
    </message>
    <message>
        <source>«&#xa0;repeter&#xa0;» n&apos;a sa place qu&apos;une fois, juste après «&#xa0;programme tarvik 1&#xa0;», avant la première étape</source>
        <translation>“repeter” belongs only once, right after “programme tarvik 1”, before the first step</translation>
    </message>
    <message>
        <source>«&#xa0;programme tarvik 1&#xa0;» n&apos;a sa place qu&apos;une fois, en tête du fichier</source>
        <translation>“programme tarvik 1” belongs only once, at the head of the file</translation>
    </message>
    <message>
        <source>le fichier s&apos;arrête là où «&#xa0;etape NOM&#xa0;» est attendu&#xa0;: un programme a au moins une étape, de sept lignes</source>
        <translation>the file ends where “etape NAME” is expected: a program has at least one step, of seven lines</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» est lu là où «&#xa0;etape NOM&#xa0;» est attendu (ou «&#xa0;repeter N&#xa0;», juste après «&#xa0;programme tarvik 1&#xa0;»)</source>
        <translation>“%1” is read where “etape NAME” is expected (or “repeter N”, right after “programme tarvik 1”)</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» est lu là où «&#xa0;etape NOM&#xa0;» est attendu&#xa0;: une attente est toujours suivie d&apos;une étape</source>
        <translation>“%1” is read where “etape NAME” is expected: a wait is always followed by a step</translation>
    </message>
    <message>
        <source>«&#xa0;repeter&#xa0;» prend un nombre entier de 1 à %1, et non «&#xa0;%2&#xa0;»</source>
        <translation>“repeter” takes a whole number from 1 to %1, not “%2”</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» est lu là où «&#xa0;attendre SECONDES&#xa0;» (puis l&apos;étape suivante) ou la fin du fichier est attendu</source>
        <translation>“%1” is read where “attendre SECONDS” (then the next step) or the end of the file is expected</translation>
    </message>
    <message>
        <source>l&apos;attente s&apos;écrit en secondes, au dixième près, comme «&#xa0;attendre 2.5&#xa0;» ou «&#xa0;attendre 10&#xa0;», et non «&#xa0;%1&#xa0;»</source>
        <translation>the wait is written in seconds, to the tenth, as in “attendre 2.5” or “attendre 10”, not “%1”</translation>
    </message>
    <message>
        <source>l&apos;attente de %1&#xa0;s dépasse %2&#xa0;s, le plus long permis</source>
        <translation>the wait of %1 s goes past %2 s, the longest allowed</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1,%2 s</source>
        <comment>seconds with their decimals</comment>
        <translation>%1.%2 s</translation>
    </message>
</context>
<context>
    <name>Reglages</name>
    <message>
        <source>valeur vide</source>
        <translation>empty value</translation>
    </message>
    <message>
        <source>c&apos;est un lien qui ne mène à aucun fichier</source>
        <translation>it is a link that leads to no file</translation>
    </message>
    <message>
        <source>le dossier %1 ne peut pas être créé</source>
        <translation>the folder %1 cannot be created</translation>
    </message>
    <message>
        <source>le fichier illisible ne peut pas être mis de côté (%1)</source>
        <translation>the unreadable file cannot be set aside (%1)</translation>
    </message>
    <message>
        <source>langue inconnue «&#xa0;%1&#xa0;» (%2)</source>
        <translation>unknown language “%1” (%2)</translation>
    </message>
    <message>
        <source>c&apos;est un chemin relatif, qui mènerait ailleurs selon le dossier d&apos;où le programme est lancé&#xa0;: le chemin doit partir de la racine (/)</source>
        <translation>it is a relative path, which would lead elsewhere depending on the folder the program is started from: the path must start at the root (/)</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» au lieu de oui ou non</source>
        <translation>“%1” instead of oui or non</translation>
    </message>
    <message>
        <source>des guillemets en tête</source>
        <translation>quotes at the start</translation>
    </message>
    <message>
        <source>«&#xa0;@&#xa0;» en tête, comme un @Variant</source>
        <translation>“@” at the start, as in an @Variant</translation>
    </message>
    <message>
        <source>une barre oblique inverse</source>
        <translation>a backslash</translation>
    </message>
    <message>
        <source>une virgule, comme une liste</source>
        <translation>a comma, as in a list</translation>
    </message>
    <message>
        <source>un blanc en bordure</source>
        <translation>a blank at either end</translation>
    </message>
    <message>
        <source>valeur écrite sous une forme que Tarvik ne lit pas&#xa0;: %1</source>
        <translation>value written in a form Tarvik does not read: %1</translation>
    </message>
    <message>
        <source>valeur de %1 caractères, %2 au plus</source>
        <translation>value of %1 characters, %2 at most</translation>
    </message>
    <message>
        <source>caractère de contrôle ou invisible (%1) dans la valeur</source>
        <translation>control or invisible character (%1) in the value</translation>
    </message>
</context>
<context>
    <name>Sequence</name>
    <message>
        <source>Aucune ligne n&apos;a été envoyée</source>
        <translation>No line was sent</translation>
    </message>
    <message>
        <source>A à %1</source>
        <translation>A to %1</translation>
    </message>
    <message>
        <source>l&apos;interruption</source>
        <translation>the interruption</translation>
    </message>
    <message>
        <source>l&apos;échec</source>
        <translation>the failure</translation>
    </message>
    <message>
        <source>Rien n&apos;a été envoyé</source>
        <translation>Nothing was sent</translation>
    </message>
    <message>
        <source>Lignes parties avant %1&#xa0;: %2</source>
        <translation>Lines that went out before %1: %2</translation>
    </message>
    <message>
        <source>Une séquence précédente, interrompue, avait laissé des octets en attente sur le port (%1)&#xa0;: ils ont été abandonnés avant cette séquence, et la carte a pu recevoir une ligne incomplète</source>
        <translation>An earlier sequence, interrupted, had left bytes waiting on the port (%1): they were dropped before this sequence, and the board may have received an incomplete line</translation>
    </message>
    <message>
        <source>. La ligne %1 n&apos;a été remise qu&apos;en partie au programme d&apos;en face&#xa0;: ce début y reste, et la carte peut le recevoir comme une ligne incomplète</source>
        <translation>. Line %1 was handed only in part to the program at the other end: that start stays there, and the board may receive it as an incomplete line</translation>
    </message>
    <message>
        <source>. La ligne %1 n&apos;est partie qu&apos;en partie, et le reste a été retiré&#xa0;: la carte a pu en recevoir le début, une ligne incomplète</source>
        <translation>. Line %1 went out only in part, and the rest was taken back: the board may have received its start, an incomplete line</translation>
    </message>
    <message>
        <source>. La prochaine séquence sur ce port commencera par un saut de ligne seul</source>
        <translation>. The next sequence on this port will start with a lone line feed</translation>
    </message>
    <message>
        <source>La séquence précédente sur ce port s&apos;est arrêtée au milieu d&apos;une ligne</source>
        <translation>The previous sequence on this port stopped in the middle of a line</translation>
    </message>
    <message>
        <source>Un envoi précédent sur ce port s&apos;est arrêté au milieu d&apos;une ligne, et l&apos;a marqué dans le dossier des verrous</source>
        <translation>An earlier send on this port stopped in the middle of a line, and marked it in the lock folder</translation>
    </message>
    <message>
        <source>Un envoi précédent de ce programme sur ce port a été arrêté brutalement (son verrou est resté)</source>
        <translation>An earlier send of this program on this port was killed (its lock stayed behind)</translation>
    </message>
    <message>
        <source>Un envoi précédent, interrompu, avait laissé des octets en attente sur le port</source>
        <translation>An earlier, interrupted send had left bytes waiting on the port</translation>
    </message>
    <message>
        <source>%1&#xa0;: un saut de ligne seul est parti avant la première ligne, pour que la carte écarte comme une ligne à part le début de ligne qu&apos;elle a pu en recevoir</source>
        <translation>%1: a lone line feed went out before the first line, so that the board drops the start of a line it may have received as a line of its own</translation>
    </message>
    <message>
        <source>Rien n&apos;a été envoyé, pas même le saut de ligne seul qui devait séparer ce qu&apos;un envoi précédent, coupé, a pu laisser à la carte</source>
        <translation>Nothing was sent, not even the lone line feed that was to set apart what an earlier, cut send may have left at the board</translation>
    </message>
    <message>
        <source>Un envoi précédent de ce programme sur ce port a été arrêté brutalement (la trace de son envoi en cours est restée)</source>
        <translation>An earlier send of this program on this port was killed (the trace of its send in progress stayed behind)</translation>
    </message>
    <message>
        <source>Le port était resté en mode exclusif sans qu&apos;aucun programme le tienne, ce que laisse un envoi arrêté brutalement</source>
        <translation>The port had stayed in exclusive mode with no program holding it, as a killed send leaves it</translation>
    </message>
    <message>
        <source>Ce qui se trouve à la place de la marque d&apos;un envoi coupé sur ce port ne peut être ni lu ni vérifié, et compte comme une coupure</source>
        <translation>What stands where the mark of a cut send on this port goes can be neither read nor checked, and counts as a cut</translation>
    </message>
    <message>
        <source>Sans dossier des verrous ni dossier privé où garder la trace d&apos;un envoi coupé, rien ne montre que le précédent s&apos;est terminé entier</source>
        <translation>With neither a lock folder nor a private folder to keep the trace of a cut send, nothing shows that the previous one ended whole</translation>
    </message>
    <message>
        <source>délai dépassé&#xa0;: les sept lignes sont parties, mais en plus de %1</source>
        <translation>time is up: all seven lines went out, but it took longer than %1</translation>
    </message>
    <message>
        <source>délai dépassé&#xa0;: la séquence a pris plus de %1</source>
        <translation>time is up: the sequence took longer than %1</translation>
    </message>
</context>
<context>
    <name>Systeme</name>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>ouverture impossible</source>
        <translation>cannot open</translation>
    </message>
    <message>
        <source>un autre programme le tient depuis plus de %1 s</source>
        <translation>another program has held it for more than %1 s</translation>
    </message>
    <message>
        <source>dossier impossible à créer</source>
        <translation>cannot create the folder</translation>
    </message>
    <message>
        <source>écriture impossible</source>
        <translation>cannot write</translation>
    </message>
    <message>
        <source>le lien ne mène à aucun fichier</source>
        <translation>the link leads to no file</translation>
    </message>
    <message>
        <source>plus de place sur le disque</source>
        <translation>no space left on the disk</translation>
    </message>
    <message>
        <source>quota d&apos;espace disque dépassé</source>
        <translation>disk quota exceeded</translation>
    </message>
    <message>
        <source>système de fichiers en lecture seule</source>
        <translation>read-only file system</translation>
    </message>
    <message>
        <source>permission refusée</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>erreur d&apos;entrée-sortie</source>
        <translation>input/output error</translation>
    </message>
    <message>
        <source>périphérique absent</source>
        <translation>no such device</translation>
    </message>
    <message>
        <source>fichier ou dossier absent</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>un élément du chemin n&apos;est pas un dossier</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>c&apos;est un dossier</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>périphérique occupé</source>
        <translation>device busy</translation>
    </message>
    <message>
        <source>lien symbolique refusé</source>
        <translation>symbolic link refused</translation>
    </message>
    <message>
        <source>fichier trop gros</source>
        <translation>file too large</translation>
    </message>
    <message>
        <source>ce n&apos;est pas un terminal</source>
        <translation>not a terminal</translation>
    </message>
    <message>
        <source>nom trop long</source>
        <translation>name too long</translation>
    </message>
    <message>
        <source>ressource momentanément indisponible</source>
        <translation>resource temporarily unavailable</translation>
    </message>
    <message>
        <source>trop de fichiers ouverts</source>
        <translation>too many open files</translation>
    </message>
    <message>
        <source>mémoire insuffisante</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>le fichier existe déjà</source>
        <translation>the file already exists</translation>
    </message>
    <message>
        <source>opération refusée par le périphérique</source>
        <translation>operation refused by the device</translation>
    </message>
    <message>
        <source>le lecteur du tube est parti</source>
        <translation>the pipe&apos;s reader has gone</translation>
    </message>
    <message>
        <source>descripteur fermé</source>
        <translation>closed descriptor</translation>
    </message>
    <message>
        <source>erreur système %1 (%2)</source>
        <translation>system error %1 (%2)</translation>
    </message>
    <message>
        <source>lecture impossible (%1)</source>
        <translation>cannot read (%1)</translation>
    </message>
    <message>
        <source>le fichier dépasse %1 Kio</source>
        <translation>the file is over %1 KiB</translation>
    </message>
    <message>
        <source>le fichier dépasse %1 octets</source>
        <translation>the file is over %1 bytes</translation>
    </message>
    <message>
        <source>le fichier n&apos;existe pas</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>ce n&apos;est pas un fichier ordinaire</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>enregistrement non écrit, %1</source>
        <translation>record not written, %1</translation>
    </message>
    <message>
        <source>verrou impossible</source>
        <translation>cannot lock</translation>
    </message>
    <message>
        <source>écriture impossible (%1), et le début de l&apos;enregistrement est resté dans le fichier (%2)</source>
        <translation>cannot write (%1), and the start of the record stayed in the file (%2)</translation>
    </message>
    <message>
        <source>enregistrement écrit, mais il n&apos;a pas pu être vidé sur le disque (%1)</source>
        <translation>record written, but it could not be flushed to the disk (%1)</translation>
    </message>
    <message>
        <source>lecture interrompue</source>
        <translation>reading interrupted</translation>
    </message>
    <message>
        <source>ce n&apos;est pas un fichier ordinaire (dossier, tube ou lien)&#xa0;: il n&apos;est pas touché</source>
        <translation>it is not a regular file (a folder, a pipe or a link): it is left alone</translation>
    </message>
    <message>
        <source>enregistrement écrit, mais le fichier n&apos;a pas pu devenir «&#xa0;%1&#xa0;» (%2)&#xa0;: il grandit au-delà de sa limite</source>
        <translation>record written, but the file could not become “%1” (%2): it grows past its limit</translation>
    </message>
    <message>
        <source>ce n&apos;est pas un fichier ordinaire (dossier, tube ou périphérique)&#xa0;: il n&apos;est pas remplacé</source>
        <translation>it is not a regular file (a folder, a pipe or a device): it is not replaced</translation>
    </message>
    <message>
        <source>%1 n&apos;est pas un chemin absolu</source>
        <translation>%1 is not an absolute path</translation>
    </message>
    <message>
        <source>%1 ne peut pas être créé (%2)</source>
        <translation>%1 cannot be created (%2)</translation>
    </message>
    <message>
        <source>%1 ne peut pas être ouvert (%2)</source>
        <translation>%1 cannot be opened (%2)</translation>
    </message>
    <message>
        <source>ce n&apos;est pas un dossier, ou c&apos;est un lien</source>
        <translation>it is not a folder, or it is a link</translation>
    </message>
    <message>
        <source>%1 ne peut pas être lu (%2)</source>
        <translation>%1 cannot be read (%2)</translation>
    </message>
    <message>
        <source>%1 appartient à un autre utilisateur (numéro %2)</source>
        <translation>%1 belongs to another user (number %2)</translation>
    </message>
    <message>
        <source>d&apos;autres utilisateurs peuvent écrire dans %1 (droits %2)</source>
        <translation>other users may write in %1 (mode %2)</translation>
    </message>
</context>
<context>
    <name>Tarvik</name>
    <message>
        <source>argument inattendu&#xa0;: %1</source>
        <translation>unexpected argument: %1</translation>
    </message>
    <message>
        <source>tarvik&#xa0;: «&#xa0;%1&#xa0;» n&apos;a pas été ouvert&#xa0;: %2.
</source>
        <translation>tarvik: “%1” was not opened: %2.
</translation>
    </message>
</context>
<context>
    <name>tarvik::window::DialogueJournal</name>
    <message>
        <source>Heure</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Programme</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>Source</source>
        <translation>Source</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Issue</source>
        <translation>Outcome</translation>
    </message>
    <message>
        <source>Raison</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>envoyée</source>
        <translation>sent</translation>
    </message>
    <message>
        <source>port refusé</source>
        <translation>port refused</translation>
    </message>
    <message>
        <source>échec</source>
        <translation>failed</translation>
    </message>
    <message>
        <source>rebranché</source>
        <translation>plugged back in</translation>
    </message>
    <message>
        <source>hors limites</source>
        <translation>beyond limits</translation>
    </message>
    <message>
        <source>arrêtée</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>interrompue</source>
        <translation>interrupted</translation>
    </message>
    <message>
        <source>%1 → %2</source>
        <translation>%1 → %2</translation>
    </message>
    <message>
        <source>Aucun envoi n&apos;a encore été consigné.</source>
        <translation>No send has been logged yet.</translation>
    </message>
    <message>
        <source>Le journal ne peut pas être lu&#xa0;: %1.</source>
        <translation>The log cannot be read: %1.</translation>
    </message>
    <message>
        <source>Périphérique</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Fichier&#xa0;: %1 (les envois les plus récents en bas)</source>
        <translation>File: %1 (latest sends at the bottom)</translation>
    </message>
    <message>
        <source>Journal des envois</source>
        <translation>Send Log</translation>
    </message>
    <message>
        <source>Envois consignés</source>
        <translation>Logged sends</translation>
    </message>
    <message>
        <source>Raison et lignes de l&apos;envoi choisi</source>
        <translation>Reason and lines of the chosen send</translation>
    </message>
    <message>
        <source>C&amp;harger dans la grille</source>
        <translation>&amp;Load into the Grid</translation>
    </message>
    <message>
        <source>&amp;Exporter…</source>
        <translation>&amp;Export…</translation>
    </message>
    <message>
        <source>É&amp;checs seulement</source>
        <translation>&amp;Failures only</translation>
    </message>
    <message>
        <source>&amp;Aujourd&apos;hui</source>
        <translation>&amp;Today</translation>
    </message>
    <message>
        <source>tous</source>
        <translation>all</translation>
    </message>
    <message>
        <source>&amp;Programme&#xa0;:</source>
        <translation>&amp;Program:</translation>
    </message>
    <message>
        <source>Raison, dans la langue où l&apos;envoi l&apos;a écrite&#xa0;: %1</source>
        <translation>Reason, in the language the send wrote it in: %1</translation>
    </message>
    <message>
        <source>Aucune ligne n&apos;a été remise au port.</source>
        <translation>No line was handed to the port.</translation>
    </message>
    <message>
        <source>Enregistrement non chargé</source>
        <translation>Record Not Loaded</translation>
    </message>
    <message>
        <source>Les lignes de cet envoi ne forment pas une séquence&#xa0;: %1.
La grille n&apos;a pas été changée.</source>
        <translation>The lines of this send do not form a sequence: %1.
The grid was not changed.</translation>
    </message>
    <message>
        <source>Exporter le journal</source>
        <translation>Export the Log</translation>
    </message>
    <message>
        <source>Tableaux CSV (*.csv);;Tous les fichiers (*)</source>
        <translation>CSV tables (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>Journal exporté</source>
        <translation>Journal Exported</translation>
    </message>
    <message numerus="yes">
        <source>%n enregistrement écrit dans «&#xa0;%1&#xa0;».</source>
        <translation>
            <numerusform>%n record written to “%1”.</numerusform>
            <numerusform>%n records written to “%1”.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n enregistrements écrits dans «&#xa0;%1&#xa0;».</source>
        <translation>
            <numerusform>%n record written to “%1”.</numerusform>
            <numerusform>%n records written to “%1”.</numerusform>
        </translation>
    </message>
    <message>
        <source>Journal non exporté</source>
        <translation>Log Not Exported</translation>
    </message>
    <message>
        <source>Le journal n&apos;a pas pu être écrit dans «&#xa0;%1&#xa0;»&#xa0;: %2.
%3</source>
        <translation>The log could not be written to “%1”: %2.
%3</translation>
    </message>
    <message>
        <source>Le fichier qui s&apos;y trouvait est resté intact.</source>
        <translation>The file that was there is unchanged.</translation>
    </message>
    <message>
        <source>Aucun fichier n&apos;a été créé.</source>
        <translation>No file was created.</translation>
    </message>
</context>
<context>
    <name>tarvik::window::DialogueLimites</name>
    <message>
        <source>pas maximal</source>
        <translation>most steps</translation>
    </message>
    <message>
        <source>vitesse maximale</source>
        <translation>highest speed</translation>
    </message>
    <message>
        <source>course maximale</source>
        <translation>farthest travel</translation>
    </message>
    <message>
        <source>directions permises</source>
        <translation>allowed directions</translation>
    </message>
    <message>
        <source>machine</source>
        <translation>machine</translation>
    </message>
    <message>
        <source>vous</source>
        <translation>you</translation>
    </message>
    <message>
        <source>pas ≤ %1 (%2)</source>
        <translation>steps ≤ %1 (%2)</translation>
    </message>
    <message>
        <source>vitesse ≤ %1 (%2)</source>
        <translation>speed ≤ %1 (%2)</translation>
    </message>
    <message>
        <source>aucune direction permise (%1)</source>
        <translation>no direction allowed (%1)</translation>
    </message>
    <message>
        <source>directions «&#xa0;%1&#xa0;» (%2)</source>
        <translation>directions “%1” (%2)</translation>
    </message>
    <message>
        <source>course ≤ %1 (%2)</source>
        <translation>travel ≤ %1 (%2)</translation>
    </message>
    <message>
        <source>sans limite</source>
        <translation>no limit</translation>
    </message>
    <message>
        <source>Lecture &amp;stricte</source>
        <translation>&amp;Strict reading</translation>
    </message>
    <message>
        <source>Limites des axes</source>
        <translation>Axis Limits</translation>
    </message>
    <message>
        <source>Limites de chaque axe</source>
        <translation>Limits of each axis</translation>
    </message>
    <message>
        <source>Axe</source>
        <translation>Axis</translation>
    </message>
    <message>
        <source>Pas
maximal
machine</source>
        <translation>Most
steps
machine</translation>
    </message>
    <message>
        <source>Pas
maximal
vous</source>
        <translation>Most
steps
you</translation>
    </message>
    <message>
        <source>Vitesse
maximale
machine</source>
        <translation>Highest
speed
machine</translation>
    </message>
    <message>
        <source>Vitesse
maximale
vous</source>
        <translation>Highest
speed
you</translation>
    </message>
    <message>
        <source>Directions
permises
machine</source>
        <translation>Allowed
directions
machine</translation>
    </message>
    <message>
        <source>Directions
permises
vous</source>
        <translation>Allowed
directions
you</translation>
    </message>
    <message>
        <source>Course
maximale
machine</source>
        <translation>Farthest
travel
machine</translation>
    </message>
    <message>
        <source>Course
maximale
vous</source>
        <translation>Farthest
travel
you</translation>
    </message>
    <message>
        <source>En vigueur
(fixée par)</source>
        <translation>Applies
(set by)</translation>
    </message>
    <message>
        <source>Aucun fichier de limites de la machine n&apos;a été lu (%1)&#xa0;: seules vos limites s&apos;appliquent.</source>
        <translation>No machine limits file was read (%1): only your limits apply.</translation>
    </message>
    <message>
        <source>Les limites de la machine sont fixées pour ce banc (%1)&#xa0;: vous ne pouvez que les resserrer.</source>
        <translation>The machine&apos;s limits are set for this bench (%1): you can only tighten them.</translation>
    </message>
    <message>
        <source>Attention&#xa0;: %1.
Tant qu&apos;un fichier de limites est douteux, tout envoi est refusé. Enregistrer remplace votre fichier s&apos;il est douteux, et garde l&apos;ancien à côté.</source>
        <translation>Warning: %1.
While a limits file is doubtful, every send is refused. Saving replaces your file if it is doubtful, and keeps the old one beside it.</translation>
    </message>
    <message>
        <source>%1, %2 (machine)&#xa0;: %3</source>
        <translation>%1, %2 (machine): %3</translation>
    </message>
    <message>
        <source>%1, %2 (vous)</source>
        <translation>%1, %2 (you)</translation>
    </message>
    <message>
        <source>Limite de la machine&#xa0;: %1.</source>
        <translation>Machine&apos;s limit: %1.</translation>
    </message>
    <message>
        <source>%1&#xa0;: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>à corriger&#xa0;: %1</source>
        <translation>to correct: %1</translation>
    </message>
    <message>
        <source>Vide&#xa0;: aucune limite de votre part.</source>
        <translation>Empty: no limit of yours.</translation>
    </message>
    <message>
        <source>À corriger&#xa0;: %1.</source>
        <translation>To correct: %1.</translation>
    </message>
    <message>
        <source>Plus large que la limite de la machine (%1)&#xa0;: gardée dans votre fichier, mais c&apos;est celle de la machine qui s&apos;applique.</source>
        <translation>Looser than the machine&apos;s limit (%1): kept in your file, but the machine&apos;s applies.</translation>
    </message>
    <message>
        <source>Lecture stricte&#xa0;: imposée par la machine</source>
        <translation>Strict reading: imposed by the machine</translation>
    </message>
    <message>
        <source>Imposée par le fichier de limites de la machine (%1)&#xa0;: vous ne pouvez pas la retirer.</source>
        <translation>Imposed by the machine&apos;s limits file (%1): you cannot remove it.</translation>
    </message>
    <message>
        <source>En lecture stricte, chaque case de la grille doit contenir exactement ce qui part&#xa0;: des chiffres seuls pour les pas et la vitesse, un seul caractère pour la direction.</source>
        <translation>With strict reading, each box of the grid must hold exactly what is sent: digits alone for steps and speed, one character for the direction.</translation>
    </message>
    <message>
        <source>En vigueur&#xa0;: lecture stricte (machine).</source>
        <translation>Applies: strict reading (machine).</translation>
    </message>
    <message>
        <source>En vigueur&#xa0;: lecture stricte (vous).</source>
        <translation>Applies: strict reading (you).</translation>
    </message>
    <message>
        <source>En vigueur&#xa0;: lecture souple, selon les règles d&apos;origine du panneau.</source>
        <translation>Applies: lenient reading, by the panel&apos;s original rules.</translation>
    </message>
    <message>
        <source>Limite refusée</source>
        <translation>Limit Refused</translation>
    </message>
    <message>
        <source>%1, %2.
Corrigez la case, ou videz-la pour ne fixer aucune limite.</source>
        <translation>%1, %2.
Correct the box, or empty it to set no limit.</translation>
    </message>
    <message>
        <source>Limites non enregistrées</source>
        <translation>Limits Not Saved</translation>
    </message>
    <message>
        <source>Vos limites n&apos;ont pas pu être enregistrées dans «&#xa0;%1&#xa0;»&#xa0;: %2.
Les limites précédentes restent en vigueur.</source>
        <translation>Your limits could not be saved in “%1”: %2.
The previous limits still apply.</translation>
    </message>
    <message>
        <source>La plus stricte des deux limites l&apos;emporte, et la colonne «&#xa0;En vigueur&#xa0;» dit qui l&apos;a fixée. Une valeur plus large que celle de la machine est gardée dans votre fichier (%1), mais c&apos;est celle de la machine qui s&apos;applique (pour les directions&#xa0;: seules celles que les deux permettent). Une case vide ne fixe aucune limite de votre part. La course maximale est le plus grand écart, en pas, qu&apos;un programme peut faire prendre à l&apos;axe depuis son départ, d&apos;un côté comme de l&apos;autre.</source>
        <translation>The stricter of the two limits wins, and the “Applies” column says who set it. A value looser than the machine&apos;s is kept in your file (%1), but the machine&apos;s applies (for directions: only those both allow). An empty box sets no limit of yours. The farthest travel is the greatest distance, in steps, a program may take the axis from its start, either way.</translation>
    </message>
    <message>
        <source>Directions que la machine ne permet pas («&#xa0;%1&#xa0;»)&#xa0;: gardées dans votre fichier, mais seules celles que la machine permet aussi s&apos;appliquent&#xa0;: %2.</source>
        <translation>Directions the machine does not allow (“%1”): kept in your file, but only those the machine allows too apply: %2.</translation>
    </message>
    <message>
        <source>aucune direction permise</source>
        <translation>no direction allowed</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;»</source>
        <translation>“%1”</translation>
    </message>
</context>
<context>
    <name>tarvik::window::DialoguePort</name>
    <message>
        <source>n° </source>
        <translation>S/N </translation>
    </message>
    <message>
        <source>USB %1:%2</source>
        <translation>USB %1:%2</translation>
    </message>
    <message>
        <source> — </source>
        <translation> — </translation>
    </message>
    <message>
        <source>Choisir le port série</source>
        <translation>Choose Serial Port</translation>
    </message>
    <message>
        <source>Ce panneau envoie sur «&#xa0;%1&#xa0;», donné par --port au lancement. Le port choisi ici le remplace aussitôt, et vaut pour les prochains démarrages sans --port.</source>
        <translation>This panel sends to “%1”, given with --port at start. The port chosen here replaces it at once, and holds for the next starts without --port.</translation>
    </message>
    <message>
        <source>Port série 1 (par défaut)&#xa0;: </source>
        <translation>Serial port 1 (default): </translation>
    </message>
    <message>
        <source>&amp;Ports série présents&#xa0;:</source>
        <translation>Serial &amp;ports present:</translation>
    </message>
    <message>
        <source>Pé&amp;riphérique (vide pour le port série 1)&#xa0;:</source>
        <translation>&amp;Device (empty for serial port 1):</translation>
    </message>
    <message>
        <source> → </source>
        <translation> → </translation>
    </message>
    <message>
        <source>Port refusé</source>
        <translation>Port Refused</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» ne peut pas servir de port&#xa0;: %2.
Choisissez un port série, ou laissez le champ vide pour le port série 1.</source>
        <translation>“%1” cannot be used as a port: %2.
Choose a serial port, or leave the field empty for serial port 1.</translation>
    </message>
    <message>
        <source>Garder</source>
        <translation>Keep</translation>
    </message>
    <message>
        <source>Choisir un autre</source>
        <translation>Choose another</translation>
    </message>
    <message>
        <source>Pseudo-terminal numéroté</source>
        <translation>Numbered Pseudo-Terminal</translation>
    </message>
    <message>
        <source>«&#xa0;%1&#xa0;» est un pseudo-terminal numéroté&#xa0;: une fois fermé, son numéro revient au prochain terminal ouvert, et ce choix mènerait ailleurs.

Pour un nom qui ne change pas, créez le pont avec un lien, par exemple&#xa0;:
  %2
puis choisissez ce lien («&#xa0;%3&#xa0;»).

«&#xa0;%4&#xa0;» enregistre quand même ce pseudo-terminal&#xa0;; «&#xa0;%5&#xa0;» laisse la boîte ouverte.</source>
        <translation>“%1” is a numbered pseudo-terminal: once it is closed, its number goes to the next terminal opened, and this choice would lead elsewhere.

For a name that does not change, create the bridge with a link, for example:
  %2
then choose that link (“%3”).

“%4” saves this pseudo-terminal anyway; “%5” leaves the dialog open.</translation>
    </message>
</context>
<context>
    <name>tarvik::window::FenetreCarte</name>
    <message>
        <source>position %1, aucune limite de course</source>
        <translation>position %1, no travel limit</translation>
    </message>
    <message>
        <source>position %1, hors de sa course de ±%2</source>
        <translation>position %1, beyond its travel of ±%2</translation>
    </message>
    <message>
        <source>position %1, dans sa course de ±%2</source>
        <translation>position %1, within its travel of ±%2</translation>
    </message>
    <message>
        <source>aucune course fixée</source>
        <translation>no travel set</translation>
    </message>
    <message>
        <source>Axe %1 (%2)</source>
        <translation>Axis %1 (%2)</translation>
    </message>
    <message>
        <source>Carte virtuelle Tarvik</source>
        <translation>Tarvik Virtual Board</translation>
    </message>
    <message>
        <source>Axe</source>
        <translation>Axis</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Course</source>
        <translation>Travel</translation>
    </message>
    <message>
        <source>Dernière commande</source>
        <translation>Last command</translation>
    </message>
    <message>
        <source>%1, position</source>
        <translation>%1, position</translation>
    </message>
    <message>
        <source>%1, course</source>
        <translation>%1, travel</translation>
    </message>
    <message>
        <source>%1, dernière commande</source>
        <translation>%1, last command</translation>
    </message>
    <message>
        <source>Lignes reçues</source>
        <translation>Lines received</translation>
    </message>
    <message>
        <source>Chaque ligne lue par la carte&#xa0;: ✓ prise, ↵ ligne vide (remise en phase), ✗ anomalie, avec sa raison.</source>
        <translation>Each line the board read: ✓ taken, ↵ empty line (resync), ✗ anomaly, with its reason.</translation>
    </message>
    <message>
        <source>Remise à zéro</source>
        <translation>Reset to zero</translation>
    </message>
    <message>
        <source>Remet les sept positions à 0, où que soit la machine.</source>
        <translation>Sets the seven positions back to 0, wherever the machine is.</translation>
    </message>
    <message>
        <source>— %1&#xa0;: remise à zéro —</source>
        <translation>— %1: reset to zero —</translation>
    </message>
    <message>
        <source>État de la carte</source>
        <translation>Board state</translation>
    </message>
    <message>
        <source>hors de sa course de ±%1</source>
        <translation>beyond its travel of ±%1</translation>
    </message>
    <message>
        <source>%1 à %2</source>
        <translation>%1 at %2</translation>
    </message>
    <message>
        <source>aucune</source>
        <translation>none</translation>
    </message>
    <message>
        <source>✓ %1  %2</source>
        <translation>✓ %1  %2</translation>
    </message>
    <message>
        <source>&#xa0;&#xa0;! hors course&#xa0;: %1</source>
        <translation>  ! beyond travel: %1</translation>
    </message>
    <message>
        <source>↵ %1  ligne vide (remise en phase)</source>
        <translation>↵ %1  empty line (resync)</translation>
    </message>
    <message>
        <source>✗ %1  %2  — %3</source>
        <translation>✗ %1  %2  — %3</translation>
    </message>
    <message>
        <source>sans rythme</source>
        <translation>unpaced</translation>
    </message>
    <message>
        <source>au rythme de 38400 bauds (%1 octets/s)</source>
        <translation>at the pace of 38400 baud (%1 bytes/s)</translation>
    </message>
    <message>
        <source>lente&#xa0;: %1 octets/s</source>
        <translation>slow: %1 bytes/s</translation>
    </message>
    <message>
        <source>bloquée après %1 lignes, ne lit plus</source>
        <translation>stalled after %1 lines, reads no more</translation>
    </message>
    <message>
        <source>prête</source>
        <translation>ready</translation>
    </message>
    <message>
        <source>débranchée, retour à %1</source>
        <translation>unplugged, back at %1</translation>
    </message>
    <message>
        <source>débranchée</source>
        <translation>unplugged</translation>
    </message>
    <message>
        <source>Port «&#xa0;%1&#xa0;»&#xa0;: %2 · %3</source>
        <translation>Port “%1”: %2 · %3</translation>
    </message>
</context>
<context>
    <name>tarvik::window::FenetreProgramme</name>
    <message>
        <source>fr_FR</source>
        <comment>the locale whose numbers the window writes</comment>
        <translation>en_GB</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 h %2 min</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Étape %1</source>
        <translation>Step %1</translation>
    </message>
    <message>
        <source>Étape %1 (%2)</source>
        <translation>Step %1 (%2)</translation>
    </message>
    <message>
        <source>Étapes et course des axes</source>
        <translation>Steps and axes&apos; travel</translation>
    </message>
    <message>
        <source>Étapes</source>
        <translation>Steps</translation>
    </message>
    <message>
        <source>&amp;Course des axes</source>
        <translation>A&amp;xes’ travel</translation>
    </message>
    <message>
        <source>Étapes du programme</source>
        <translation>Program steps</translation>
    </message>
    <message>
        <source>Étape</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>Lignes</source>
        <translation>Lines</translation>
    </message>
    <message>
        <source>Attente après</source>
        <translation>Wait after</translation>
    </message>
    <message>
        <source>Course des axes, en chiffres</source>
        <translation>Axes&apos; travel, in figures</translation>
    </message>
    <message>
        <source>&amp;Ajouter la grille</source>
        <translation>&amp;Add the Grid</translation>
    </message>
    <message>
        <source>Ajoute la grille du panneau comme étape, après l&apos;étape choisie, une fois vérifiée comme «&#xa0;TEST&#xa0;» la vérifie.</source>
        <translation>Adds the panel&apos;s grid as a step, after the selected step, once checked as “TEST” checks it.</translation>
    </message>
    <message>
        <source>C&amp;harger dans la grille</source>
        <translation>Load into &amp;Grid</translation>
    </message>
    <message>
        <source>Remplit la grille du panneau avec l&apos;étape choisie, sans rien envoyer.</source>
        <translation>Fills the panel&apos;s grid with the selected step, without sending anything.</translation>
    </message>
    <message>
        <source>&amp;Monter</source>
        <translation>Move &amp;Up</translation>
    </message>
    <message>
        <source>&amp;Descendre</source>
        <translation>Move Do&amp;wn</translation>
    </message>
    <message>
        <source>Re&amp;tirer</source>
        <translation>&amp;Remove</translation>
    </message>
    <message>
        <source>&amp;Ouvrir…</source>
        <translation>&amp;Open…</translation>
    </message>
    <message>
        <source>Enre&amp;gistrer…</source>
        <translation>&amp;Save…</translation>
    </message>
    <message>
        <source>Nom de l&apos;étape choisie</source>
        <translation>Name of the selected step</translation>
    </message>
    <message>
        <source>Attente après l&apos;étape choisie, en secondes</source>
        <translation>Wait after the selected step, in seconds</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message numerus="yes">
        <source> fois</source>
        <translation>
            <numerusform> time</numerusform>
            <numerusform> times</numerusform>
        </translation>
    </message>
    <message>
        <source>Répéter le programme, nombre de fois</source>
        <translation>Repeat the program, number of times</translation>
    </message>
    <message>
        <source>&amp;Nom de l&apos;étape&#xa0;:</source>
        <translation>Step &amp;name:</translation>
    </message>
    <message>
        <source>Att&amp;ente après&#xa0;:</source>
        <translation>Wa&amp;it after:</translation>
    </message>
    <message>
        <source>Ré&amp;péter&#xa0;:</source>
        <translation>Re&amp;peat:</translation>
    </message>
    <message>
        <source>&amp;Lancer</source>
        <translation>Star&amp;t</translation>
    </message>
    <message>
        <source>Pas à pa&amp;s</source>
        <translation>Step b&amp;y Step</translation>
    </message>
    <message>
        <source>Envoie l&apos;étape suivante et s&apos;arrête après elle.</source>
        <translation>Sends the next step and stops after it.</translation>
    </message>
    <message>
        <source>A&amp;rrêter (Échap)</source>
        <translation>Stop (Es&amp;c)</translation>
    </message>
    <message>
        <source>Plus rien n&apos;est envoyé. Une ligne déjà remise au port ne peut pas être rappelée&#xa0;: pour arrêter la machine elle-même, utilisez son arrêt d&apos;urgence.</source>
        <translation>Nothing more is sent. A line already handed to the port cannot be called back: to stop the machine itself, use its emergency stop.</translation>
    </message>
    <message>
        <source>Étapes envoyées</source>
        <translation>Steps sent</translation>
    </message>
    <message>
        <source>Programme à l&apos;arrêt</source>
        <translation>Program not running</translation>
    </message>
    <message>
        <source>Programme</source>
        <translation>Program</translation>
    </message>
    <message>
        <source>Programme – %1</source>
        <translation>Program – %1</translation>
    </message>
    <message>
        <source>Aucune étape&#xa0;: ajoutez la grille du panneau, ou ouvrez un programme.</source>
        <translation>No steps: add the panel&apos;s grid, or open a program.</translation>
    </message>
    <message>
        <source>Aucune étape à envoyer</source>
        <translation>No step to send</translation>
    </message>
    <message>
        <source>Attention&#xa0;: %1.</source>
        <translation>Warning: %1.</translation>
    </message>
    <message>
        <source>(%1 si une étape suit)</source>
        <translation>(%1 if a step follows)</translation>
    </message>
    <message>
        <source>Attente après&#xa0;: %1, dès qu&apos;une étape suivra</source>
        <translation>Wait after: %1, once a step follows</translation>
    </message>
    <message>
        <source>Attente après&#xa0;: %1</source>
        <translation>Wait after: %1</translation>
    </message>
    <message>
        <source>La dernière étape n&apos;attend pas&#xa0;: cette attente comptera dès qu&apos;une étape sera ajoutée après elle.</source>
        <translation>The last step does not wait: this wait counts once a step is added after it.</translation>
    </message>
    <message>
        <source>Nom refusé&#xa0;: %1.</source>
        <translation>Name refused: %1.</translation>
    </message>
    <message>
        <source>Ouvrir un programme</source>
        <translation>Open a Program</translation>
    </message>
    <message>
        <source>Programmes (*.prog *.seq);;Tous les fichiers (*)</source>
        <translation>Programs (*.prog *.seq);;All files (*)</translation>
    </message>
    <message>
        <source>Programme non ouvert</source>
        <translation>Program Not Opened</translation>
    </message>
    <message>
        <source>Enregistrer le programme</source>
        <translation>Save the Program</translation>
    </message>
    <message>
        <source>Programmes (*.prog);;Tous les fichiers (*)</source>
        <translation>Programs (*.prog);;All files (*)</translation>
    </message>
    <message>
        <source>Programme non enregistré</source>
        <translation>Program Not Saved</translation>
    </message>
    <message>
        <source>Le programme n&apos;a pas pu être écrit dans «&#xa0;%1&#xa0;»&#xa0;: %2.
%3</source>
        <translation>The program could not be written to “%1”: %2.
%3</translation>
    </message>
    <message>
        <source>Le fichier qui s&apos;y trouvait est resté intact.</source>
        <translation>The file that was there is unchanged.</translation>
    </message>
    <message>
        <source>Aucun fichier n&apos;a été créé.</source>
        <translation>No file was created.</translation>
    </message>
    <message>
        <source>Programme non lancé</source>
        <translation>Program Not Started</translation>
    </message>
    <message>
        <source>«&#xa0;TEST&#xa0;» envoie une séquence&#xa0;: lancez le programme une fois cet envoi fini.
Rien n&apos;a été envoyé.</source>
        <translation>“TEST” is sending a sequence: start the program once it is done.
Nothing was sent.</translation>
    </message>
    <message>
        <source>.
Rien n&apos;a été envoyé</source>
        <translation>.
Nothing was sent</translation>
    </message>
    <message>
        <source>Programme lancé à %1 · attentes en tout&#xa0;: %2</source>
        <translation>Program started at %1 · waits in all: %2</translation>
    </message>
    <message>
        <source>Depuis elle, l&apos;étape 1 ne sera pas envoyée&#xa0;: vérifiez d&apos;abord où en est la machine.</source>
        <translation>From it, step 1 will not be sent: check first where the machine stands.</translation>
    </message>
    <message>
        <source>Depuis elle, les étapes 1 à %1 ne seront pas envoyées&#xa0;: vérifiez d&apos;abord où en est la machine.</source>
        <translation>From it, steps 1 to %1 will not be sent: check first where the machine stands.</translation>
    </message>
    <message>
        <source>Lancer le programme</source>
        <translation>Start the Program</translation>
    </message>
    <message>
        <source>Lancer le programme depuis le début, ou depuis %1, choisie dans la liste&#xa0;?
%2</source>
        <translation>Run the program from the start, or from %1, selected in the list?
%2</translation>
    </message>
    <message>
        <source>Depuis le début</source>
        <translation>From the Start</translation>
    </message>
    <message>
        <source>Depuis l&apos;étape %1</source>
        <translation>From Step %1</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source> · depuis l&apos;étape %1, %2</source>
        <translation> · from step %1, %2</translation>
    </message>
    <message>
        <source>%1 envoyée · Pas à pas&#xa0;: %2 attend</source>
        <translation>%1 sent · Step by step: %2 waits</translation>
    </message>
    <message>
        <source>Étape %1/%2</source>
        <translation>Step %1/%2</translation>
    </message>
    <message>
        <source> · reste environ %1</source>
        <translation> · about %1 left</translation>
    </message>
    <message>
        <source>Programme terminé à %1</source>
        <translation>Program finished at %1</translation>
    </message>
    <message>
        <source>Programme arrêté à %1&#xa0;: %2</source>
        <translation>Program stopped at %1: %2</translation>
    </message>
    <message>
        <source>Programme non terminé à %1&#xa0;: %2</source>
        <translation>Program not finished at %1: %2</translation>
    </message>
    <message>
        <source>Programme arrêté</source>
        <translation>Program Stopped</translation>
    </message>
    <message>
        <source>Programme non terminé</source>
        <translation>Program Not Finished</translation>
    </message>
    <message>
        <source>Programme parti de l&apos;étape %1&#xa0;: %2.</source>
        <translation>Program started from step %1: %2.</translation>
    </message>
    <message>
        <source>Une ligne remise au port ne peut pas être rappelée&#xa0;: pour arrêter la machine elle-même, utilisez son arrêt d&apos;urgence.</source>
        <translation>A line handed to the port cannot be called back: to stop the machine itself, use its emergency stop.</translation>
    </message>
    <message>
        <source>Programme arrêté avant sa première étape&#xa0;: rien n&apos;a été envoyé.</source>
        <translation>Program stopped before its first step: nothing was sent.</translation>
    </message>
    <message>
        <source>Programme arrêté pendant %1&#xa0;: %2.
%3
%4</source>
        <translation>Program stopped during %1: %2.
%3
%4</translation>
    </message>
    <message>
        <source>Programme arrêté&#xa0;: %1, rien ne restait à envoyer.
%2</source>
        <translation>Program stopped: %1, nothing was left to send.
%2</translation>
    </message>
    <message>
        <source>Programme arrêté&#xa0;: %1, %2 ne l&apos;a pas été.
%3</source>
        <translation>Program stopped: %1, %2 was not.
%3</translation>
    </message>
    <message>
        <source>Le programme n&apos;a pas commencé.
%1</source>
        <translation>The program did not start.
%1</translation>
    </message>
    <message>
        <source>Le programme n&apos;a pas commencé.</source>
        <translation>The program did not start.</translation>
    </message>
    <message>
        <source>%1 n&apos;est pas passée&#xa0;: rien n&apos;a été envoyé après elle (%2).
%3
Vérifiez la carte, son câble et l&apos;état de la machine avant de relancer le programme.</source>
        <translation>%1 did not go through: nothing was sent after it (%2).
%3
Check the board, its cable and the machine&apos;s state before starting the program again.</translation>
    </message>
    <message>
        <source>Programme en cours</source>
        <translation>Program running</translation>
    </message>
    <message>
        <source>Un programme est en cours, et cette fenêtre porte son «&#xa0;Arrêter&#xa0;». La fermer arrête le programme&#xa0;: plus rien ne sera envoyé.</source>
        <translation>A program is running, and this window holds its “Stop”. Closing it stops the program: nothing more will be sent.</translation>
    </message>
    <message>
        <source>Arrêter le programme</source>
        <translation>Stop the program</translation>
    </message>
    <message>
        <source>Laisser la fenêtre ouverte</source>
        <translation>Keep the window open</translation>
    </message>
    <message>
        <source>Étape non ajoutée</source>
        <translation>Step Not Added</translation>
    </message>
    <message>
        <source>.
Rien n&apos;a été ajouté au programme</source>
        <translation>.
Nothing was added to the program</translation>
    </message>
    <message>
        <source>Ajouter tel quel</source>
        <translation>Add as read</translation>
    </message>
    <message>
        <source>Attente «&#xa0;%1&#xa0;» refusée&#xa0;: une attente va de 0 à %2, au dixième de seconde près (2.5 ou 2,5). Elle reste de %3.</source>
        <translation>Wait “%1” refused: a wait is from 0 to %2, to a tenth of a second (2.5 or 2,5). It stays at %3.</translation>
    </message>
    <message>
        <source>Depuis elle, les étapes 1 et 2 ne seront pas envoyées&#xa0;: vérifiez d&apos;abord où en est la machine.</source>
        <translation>From it, steps 1 and 2 will not be sent: check first where the machine stands.</translation>
    </message>
    <message>
        <source>«&#xa0;Corriger&#xa0;» n&apos;ajoute rien au programme et vous ramène à %1.</source>
        <translation>“Fix” adds nothing to the program and takes you back to %1.</translation>
    </message>
    <message numerus="yes">
        <source>%v/%n étape envoyée, depuis l&apos;étape %1</source>
        <translation>
            <numerusform>%v/%n step sent, from step %1</numerusform>
            <numerusform>%v/%n steps sent, from step %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%v/%n étapes envoyées, depuis l&apos;étape %1</source>
        <translation>
            <numerusform>%v/%n step sent, from step %1</numerusform>
            <numerusform>%v/%n steps sent, from step %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%v/%n étape envoyée</source>
        <translation>
            <numerusform>%v/%n step sent</numerusform>
            <numerusform>%v/%n steps sent</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%v/%n étapes envoyées</source>
        <translation>
            <numerusform>%v/%n step sent</numerusform>
            <numerusform>%v/%n steps sent</numerusform>
        </translation>
    </message>
    <message>
        <source>Étapes&#xa0;: %1 · parcours&#xa0;: %2 · attentes en tout&#xa0;: %3</source>
        <translation>Steps: %1 · cycles: %2 · waits in all: %3</translation>
    </message>
    <message>
        <source> (parcours %1/%2)</source>
        <translation> (cycle %1/%2)</translation>
    </message>
    <message>
        <source> · parcours %1/%2</source>
        <translation> · cycle %1/%2</translation>
    </message>
</context>
<context>
    <name>tarvik::window::Form1</name>
    <message>
        <source>«&#xa0;Initialisation › Choisir le port série…&#xa0;»</source>
        <translation>“Setup › Choose Serial Port…”</translation>
    </message>
    <message>
        <source>valeur refusée</source>
        <translation>value refused</translation>
    </message>
    <message>
        <source>fichier de limites douteux</source>
        <translation>doubtful limits file</translation>
    </message>
    <message>
        <source>hors limites</source>
        <translation>beyond limits</translation>
    </message>
    <message>
        <source>aucun port choisi</source>
        <translation>no port chosen</translation>
    </message>
    <message>
        <source>port absent</source>
        <translation>port absent</translation>
    </message>
    <message>
        <source>port refusé</source>
        <translation>port refused</translation>
    </message>
    <message>
        <source>port occupé</source>
        <translation>port busy</translation>
    </message>
    <message>
        <source>délai dépassé</source>
        <translation>time is up</translation>
    </message>
    <message>
        <source>port débranché</source>
        <translation>port unplugged</translation>
    </message>
    <message>
        <source>interrompue</source>
        <translation>interrupted</translation>
    </message>
    <message>
        <source>échec du port</source>
        <translation>port failure</translation>
    </message>
    <message>
        <source>Choisir…</source>
        <translation>Choose…</translation>
    </message>
    <message>
        <source>Choisir le port série, comme par %1</source>
        <translation>Choose the serial port, as with %1</translation>
    </message>
    <message>
        <source>Choisir le port série</source>
        <translation>Choose the serial port</translation>
    </message>
    <message>
        <source>Dernière séquence&#xa0;: aucune depuis le démarrage</source>
        <translation>Last sequence: none since the start</translation>
    </message>
    <message>
        <source>Programme en cours</source>
        <translation>Program running</translation>
    </message>
    <message>
        <source>Un programme est en cours. Fermer le panneau l&apos;arrête&#xa0;: plus rien ne sera envoyé.</source>
        <translation>A program is running. Closing the panel stops it: nothing more will be sent.</translation>
    </message>
    <message>
        <source>Arrêter le programme et fermer</source>
        <translation>Stop the program and close</translation>
    </message>
    <message>
        <source>Annuler</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>inconnu</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>prêt</source>
        <translation>ready</translation>
    </message>
    <message>
        <source>absent</source>
        <translation>absent</translation>
    </message>
    <message>
        <source>occupé par %1</source>
        <translation>busy: held by %1</translation>
    </message>
    <message>
        <source>refusé&#xa0;: %1</source>
        <translation>refused: %1</translation>
    </message>
    <message>
        <source>utilisé par ce panneau&#xa0;: TEST</source>
        <translation>in use by this panel: TEST</translation>
    </message>
    <message>
        <source>utilisé par ce panneau&#xa0;: programme non enregistré, étape %1/%2</source>
        <translation>in use by this panel: unsaved program, step %1/%2</translation>
    </message>
    <message>
        <source>utilisé par ce panneau&#xa0;: programme «&#xa0;%1&#xa0;», étape %2/%3</source>
        <translation>in use by this panel: program “%1”, step %2/%3</translation>
    </message>
    <message>
        <source>refusé&#xa0;: un fichier de limites est douteux, TEST n&apos;enverrait rien</source>
        <translation>refused: a limits file is doubtful, TEST would send nothing</translation>
    </message>
    <message>
        <source>rebranché à %1&#xa0;: la carte a pu redémarrer</source>
        <translation>plugged back in at %1: the board may have restarted</translation>
    </message>
    <message>
        <source>%1&#xa0;; %2</source>
        <translation>%1; %2</translation>
    </message>
    <message>
        <source>Port série 1 (%1), par défaut&#xa0;: aucun port choisi&#xa0;; %2</source>
        <translation>Serial port 1 (%1), the default: no port chosen; %2</translation>
    </message>
    <message>
        <source>Port %1&#xa0;: %2</source>
        <translation>Port %1: %2</translation>
    </message>
    <message>
        <source>Envoie les sept lignes de commande, de A à G, sur %1 (%2, ou Entrée quand le bouton a le focus).</source>
        <translation>Sends the seven command lines, A to G, on %1 (%2, or Enter when the button has the focus).</translation>
    </message>
    <message>
        <source>Nombre de pas, de 0 à 99999.</source>
        <translation>Step count, from 0 to 99999.</translation>
    </message>
    <message>
        <source>Un caractère, par exemple + ou -.</source>
        <translation>One character, for example + or -.</translation>
    </message>
    <message>
        <source>Vitesse, de 0 à 255.</source>
        <translation>Speed, from 0 to 255.</translation>
    </message>
    <message>
        <source>Sequence Envoyé</source>
        <translation>Sequence Sent</translation>
    </message>
    <message>
        <source>Refusé&#xa0;: %1.</source>
        <translation>Refused: %1.</translation>
    </message>
    <message>
        <source>&#xa0;;
– </source>
        <translation>;
– </translation>
    </message>
    <message>
        <source>Cette case ne partira pas telle que vous l&apos;avez tapée&#xa0;:
%1

%2</source>
        <translation>This box will not go out as you typed it:
%1

%2</translation>
    </message>
    <message>
        <source>Ces cases ne partiront pas telles que vous les avez tapées&#xa0;:
%1

%2</source>
        <translation>These boxes will not go out as you typed them:
%1

%2</translation>
    </message>
    <message>
        <source>Cases à vérifier</source>
        <translation>Boxes to check</translation>
    </message>
    <message>
        <source>Corriger</source>
        <translation>Fix</translation>
    </message>
    <message>
        <source>Envoyer tel quel</source>
        <translation>Send as read</translation>
    </message>
    <message>
        <source>Séquence non envoyée</source>
        <translation>Sequence Not Sent</translation>
    </message>
    <message>
        <source>Un programme est en cours&#xa0;: «&#xa0;TEST&#xa0;» n&apos;envoie rien tant qu&apos;il n&apos;est pas fini. Pour l&apos;arrêter&#xa0;: «&#xa0;Arrêter&#xa0;» (Échap) dans la fenêtre «&#xa0;Programme&#xa0;».
Rien n&apos;a été envoyé.</source>
        <translation>A program is under way: “TEST” sends nothing until it is over. To stop it: “Stop” (Esc) in the “Program” window.
Nothing was sent.</translation>
    </message>
    <message>
        <source>.
Rien n&apos;a été envoyé</source>
        <translation>.
Nothing was sent</translation>
    </message>
    <message>
        <source>arrêté</source>
        <translation>stopped</translation>
    </message>
    <message>
        <source>Dernier programme&#xa0;: terminé à %1</source>
        <translation>Last program: finished at %1</translation>
    </message>
    <message>
        <source>Dernier programme&#xa0;: arrêté à %1</source>
        <translation>Last program: stopped at %1</translation>
    </message>
    <message>
        <source>Dernier programme&#xa0;: non terminé à %1&#xa0;: %2</source>
        <translation>Last program: not finished at %1: %2</translation>
    </message>
    <message>
        <source>Dernière séquence&#xa0;: envoyée à %1</source>
        <translation>Last sequence: sent at %1</translation>
    </message>
    <message>
        <source>Dernière séquence&#xa0;: non envoyée à %1&#xa0;: %2</source>
        <translation>Last sequence: not sent at %1: %2</translation>
    </message>
    <message>
        <source>Séquence précédente, envoyée à %1&#xa0;: la tentative de %2 n&apos;a rien envoyé.</source>
        <translation>Previous sequence, sent at %1: the attempt at %2 sent nothing.</translation>
    </message>
    <message>
        <source>Choisissez le port par %1, ou donnez-le par --port.</source>
        <translation>Choose the port with %1, or give it with --port.</translation>
    </message>
    <message>
        <source>Vérifiez le câble et l&apos;adaptateur, ou choisissez un autre port par %1.</source>
        <translation>Check the cable and the adapter, or choose another port with %1.</translation>
    </message>
    <message>
        <source>Fermez ce programme, puis appuyez de nouveau sur TEST.</source>
        <translation>Close that program, then press TEST again.</translation>
    </message>
    <message>
        <source>Un administrateur peut vous ajouter au groupe dialout&#xa0;; ouvrez ensuite une nouvelle session.</source>
        <translation>An administrator can add you to the dialout group; then log in again.</translation>
    </message>
    <message>
        <source>Choisissez un port série par %1.</source>
        <translation>Choose a serial port with %1.</translation>
    </message>
    <message>
        <source>Vérifiez la carte, son câble et l&apos;état de la machine avant d&apos;envoyer de nouveau.</source>
        <translation>Check the board, its cable and the machine&apos;s state before sending again.</translation>
    </message>
    <message>
        <source>Rebranchez l&apos;adaptateur. La carte a pu redémarrer&#xa0;: vérifiez l&apos;état de la machine avant d&apos;envoyer de nouveau.</source>
        <translation>Plug the adapter back in. The board may have restarted: check the machine&apos;s state before sending again.</translation>
    </message>
    <message>
        <source>Réessayer</source>
        <translation>Retry</translation>
    </message>
    <message>
        <source>Fermer</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Journal des envois</source>
        <translation>Send Log</translation>
    </message>
    <message>
        <source>%1
Les séquences partent quand même. Ce message ne reviendra pas avant le prochain démarrage du panneau.</source>
        <translation>%1
Sequences are sent all the same. This message will not come back before the panel next starts.</translation>
    </message>
    <message>
        <source>Séquence envoyée</source>
        <translation>Sequence Sent</translation>
    </message>
    <message>
        <source>La séquence a été envoyée.
%1.</source>
        <translation>The sequence was sent.
%1.</translation>
    </message>
    <message>
        <source>Séquences Tarvik (*.seq);;Tous les fichiers (*)</source>
        <translation>Tarvik sequences (*.seq);;All files (*)</translation>
    </message>
    <message>
        <source>Désignations d&apos;axes (*.txt);;Tous les fichiers (*)</source>
        <translation>Axis names (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>ce nom ne peut pas être enregistré&#xa0;: %1</source>
        <translation>this name cannot be saved: %1</translation>
    </message>
    <message>
        <source>Réglages</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Choisir le port par %1 remplace le fichier douteux, qui est gardé à côté.</source>
        <translation>Choosing the port with %1 replaces the doubtful file, which is kept beside it.</translation>
    </message>
    <message>
        <source>Langue</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Celle du système</source>
        <translation>System Default</translation>
    </message>
    <message>
        <source>Ouvrir une séquence</source>
        <translation>Open a Sequence</translation>
    </message>
    <message>
        <source>Séquence non ouverte</source>
        <translation>Sequence Not Opened</translation>
    </message>
    <message>
        <source>Séquence non enregistrée</source>
        <translation>Sequence Not Saved</translation>
    </message>
    <message>
        <source>.
Rien n&apos;a été enregistré</source>
        <translation>.
Nothing was saved</translation>
    </message>
    <message>
        <source>Enregistrer la séquence</source>
        <translation>Save the Sequence</translation>
    </message>
    <message>
        <source>Séquence enregistrée</source>
        <translation>Sequence Saved</translation>
    </message>
    <message>
        <source>La séquence a été enregistrée dans «&#xa0;%1&#xa0;», mais elle dépasse les limites de ce banc&#xa0;; «&#xa0;TEST&#xa0;» la refuserait ici&#xa0;:

%2.</source>
        <translation>The sequence was saved in “%1”, but it goes beyond this bench&apos;s limits; “TEST” would refuse it here:

%2.</translation>
    </message>
    <message>
        <source>La séquence n&apos;a pas pu être écrite dans «&#xa0;%1&#xa0;»&#xa0;: %2.
%3</source>
        <translation>The sequence could not be written to “%1”: %2.
%3</translation>
    </message>
    <message>
        <source>Le fichier qui s&apos;y trouvait est resté intact.</source>
        <translation>The file that was there is unchanged.</translation>
    </message>
    <message>
        <source>Aucun fichier n&apos;a été créé.</source>
        <translation>No file was created.</translation>
    </message>
    <message>
        <source>Ouvrir un fichier de désignation d&apos;axes</source>
        <translation>Open an Axis Names File</translation>
    </message>
    <message>
        <source>Désignation d&apos;axes non ouverte</source>
        <translation>Axis Names Not Opened</translation>
    </message>
    <message>
        <source>Désignation d&apos;axes</source>
        <translation>Axis Designation</translation>
    </message>
    <message>
        <source>Les noms sont appliqués, mais le fichier ne sera pas rouvert au prochain démarrage&#xa0;: %1.</source>
        <translation>The names are applied, but the file will not be opened again at the next start: %1.</translation>
    </message>
    <message>
        <source>Le fichier de désignation d&apos;axes «&#xa0;%1&#xa0;», ouvert la dernière fois, n&apos;a pas été chargé&#xa0;: %2.
Les axes gardent leurs noms «&#xa0;Axe 01&#xa0;» à «&#xa0;Axe 07&#xa0;».</source>
        <translation>The axis designation file “%1”, opened last time, was not loaded: %2.
The axes keep their names “Axis 01” to “Axis 07”.</translation>
    </message>
    <message>
        <source>Port série</source>
        <translation>Serial Port</translation>
    </message>
    <message>
        <source>Un envoi est en cours&#xa0;: le port ne peut pas changer avant sa fin.</source>
        <translation>A send is under way: the port cannot change before it ends.</translation>
    </message>
    <message>
        <source>Le choix du port n&apos;a pas pu être enregistré dans «&#xa0;%1&#xa0;»&#xa0;: %2.
Le choix précédent reste en vigueur.</source>
        <translation>The choice of port could not be saved in “%1”: %2.
The previous choice still holds.</translation>
    </message>
    <message>
        <source>Le fichier de réglages «&#xa0;%1&#xa0;» était illisible (%2)&#xa0;: il a été mis de côté sous «&#xa0;%3&#xa0;», et remplacé par un nouveau qui garde ce choix.</source>
        <translation>The settings file “%1” was unreadable (%2): it was set aside as “%3”, and replaced by a new one that keeps this choice.</translation>
    </message>
    <message>
        <source>Ce panneau envoie désormais sur %1, et non plus sur «&#xa0;%2&#xa0;», donné par --port. Ce choix vaut aussi pour les prochains démarrages sans --port.</source>
        <translation>This panel now sends to %1, no longer to “%2”, given with --port. This choice also holds for the next starts without --port.</translation>
    </message>
    <message>
        <source>Limites des axes</source>
        <translation>Axis Limits</translation>
    </message>
    <message>
        <source>Votre fichier de limites «&#xa0;%1&#xa0;» était illisible (%2)&#xa0;: il a été mis de côté sous «&#xa0;%3&#xa0;», et remplacé par un nouveau qui garde vos limites.</source>
        <translation>Your limits file “%1” was unreadable (%2): it was set aside as “%3”, and replaced by a new one that keeps your limits.</translation>
    </message>
    <message>
        <source>La langue n&apos;a pas pu être enregistrée dans «&#xa0;%1&#xa0;»&#xa0;: %2.</source>
        <translation>The language could not be saved in “%1”: %2.</translation>
    </message>
    <message>
        <source>Le panneau parlera %1 à son prochain démarrage.</source>
        <translation>The panel will speak %1 from its next start.</translation>
    </message>
    <message>
        <source>Le panneau parlera la langue du système à son prochain démarrage.</source>
        <translation>The panel will speak the system&apos;s language from its next start.</translation>
    </message>
    <message>
        <source>Le fichier de réglages «&#xa0;%1&#xa0;» était illisible (%2)&#xa0;: il a été mis de côté sous «&#xa0;%3&#xa0;», et remplacé par un nouveau.</source>
        <translation>The settings file “%1” was unreadable (%2): it was set aside as “%3”, and replaced by a new one.</translation>
    </message>
    <message>
        <source>Comment créer un fichier de désignation d&apos;axes</source>
        <translation>How to Create an Axis Names File</translation>
    </message>
    <message>
        <source>Un fichier de désignation d&apos;axes est un fichier texte (UTF-8) d&apos;au plus sept lignes&#xa0;: la ligne 1 nomme l&apos;axe 1, la ligne 2 l&apos;axe 2, et ainsi de suite jusqu&apos;à l&apos;axe 7. Une ligne vide laisse l&apos;axe sous son nom «&#xa0;Axe 0…&#xa0;».

Un nom compte au plus %1 caractères, sans tabulation ni autre caractère de contrôle&#xa0;; les espaces au début et à la fin sont ignorés. Les noms ne changent que l&apos;affichage&#xa0;: les lignes envoyées à la carte restent les mêmes.

Exemple (les axes 3 et 5 gardent «&#xa0;Axe 03&#xa0;» et «&#xa0;Axe 05&#xa0;»)&#xa0;:

Pince
Rotation base

Bras

Poignet
Avance

Ouvrez-le par «&#xa0;Initialisation › Ouvrir un fichier de designation d&apos;axes&#xa0;».</source>
        <translation>An axis names file is a text file (UTF-8) of at most seven lines: line 1 names axis 1, line 2 axis 2, and so on up to axis 7. An empty line leaves the axis under its own name, “Axis 0…”.

A name is at most %1 characters long, with no tab or other control character; spaces at its start and end are ignored. Names only change what is shown: the lines sent to the board stay the same.

Example (axes 3 and 5 keep “Axis 03” and “Axis 05”):

Gripper
Base rotation

Arm

Wrist
Feed

Open it with “Setup › Open an Axis Names File”.</translation>
    </message>
    <message>
        <source>Le document «&#xa0;%1&#xa0;» appartient à la carte de commande des axes&#xa0;: il n&apos;est pas fourni avec le panneau Tarvik.
Demandez-le à celui qui vous a fourni la carte.</source>
        <translation>The document “%1” belongs to the axis control board: it does not come with the Tarvik panel.
Ask whoever supplied the board.</translation>
    </message>
    <message>
        <source>.
Réglages&#xa0;: %1</source>
        <translation>.
Settings: %1</translation>
    </message>
    <message>
        <source>A propos de Tarvik</source>
        <translation>About Tarvik</translation>
    </message>
    <message>
        <source>Tarvik %1

Panneau de commande de la carte à sept axes. «&#xa0;TEST&#xa0;» envoie une ligne de commande par axe, de A à G, par exemple A+00100:010, et la liste «&#xa0;Sequence Envoyé&#xa0;» montre les lignes envoyées.

Port&#xa0;: %4.
Ligne&#xa0;: 38400 bauds, 8 bits, sans parité, 1 bit d&apos;arrêt.

Construit avec Qt %2 (en service&#xa0;: Qt %3).

Logiciel libre, sous licence GNU GPL version 3 ou ultérieure.</source>
        <translation>Tarvik %1

Control panel of the seven-axis board. “TEST” sends one command line per axis, A to G, for example A+00100:010, and the “Sequence Sent” list shows the lines sent.

Port: %4.
Line: 38400 baud, 8 data bits, no parity, 1 stop bit.

Built with Qt %2 (running: Qt %3).

Free software, under the GNU GPL version 3 or later.</translation>
    </message>
    <message>
        <source>Enregistrer tel quel</source>
        <translation>Save as read</translation>
    </message>
    <message>
        <source>, parcours %1/%2</source>
        <translation>, cycle %1/%2</translation>
    </message>
    <message>
        <source>cette case</source>
        <translation>this box</translation>
    </message>
    <message>
        <source>la première de ces cases</source>
        <translation>the first of these boxes</translation>
    </message>
    <message>
        <source>«&#xa0;Corriger&#xa0;» n&apos;envoie rien et vous ramène à %1.</source>
        <translation>“Fix” sends nothing and takes you back to %1.</translation>
    </message>
    <message>
        <source>«&#xa0;Corriger&#xa0;» n&apos;enregistre rien et vous ramène à %1.</source>
        <translation>“Fix” saves nothing and takes you back to %1.</translation>
    </message>
    <message>
        <source>Fichiers &amp;récents</source>
        <translation>&amp;Recent Files</translation>
    </message>
</context>
<context>
    <name>tarvik::window::GrapheCourse</name>
    <message>
        <source>Course des axes</source>
        <translation>Axes&apos; travel</translation>
    </message>
    <message>
        <source>Aucun programme à tracer.</source>
        <translation>No program to chart.</translation>
    </message>
    <message>
        <source>%1&#xa0;: ne bouge pas</source>
        <translation>%1: does not move</translation>
    </message>
    <message>
        <source>%1&#xa0;: position inconnue dès %2&#xa0;; jusque-là, de %3 à %4 pas</source>
        <translation>%1: position unknown from %2; until then, from %3 to %4 steps</translation>
    </message>
    <message>
        <source>%1&#xa0;: de %2 à %3 pas, %4 à la fin</source>
        <translation>%1: from %2 to %3 steps, %4 at the end</translation>
    </message>
    <message>
        <source>, %1 à chaque parcours</source>
        <translation>, %1 each cycle</translation>
    </message>
    <message>
        <source>&#xa0;; reste dans sa course de ±%1.</source>
        <translation>; stays within its travel of ±%1.</translation>
    </message>
    <message>
        <source>&#xa0;; course de ±%1&#xa0;: ne peut pas être vérifiée.</source>
        <translation>; travel of ±%1: cannot be checked.</translation>
    </message>
    <message>
        <source>&#xa0;; sort de sa course de ±%1 à %2, à %3.</source>
        <translation>; leaves its travel of ±%1 at %2, at %3.</translation>
    </message>
    <message numerus="yes">
        <source>étapes envoyées&#xa0;: %1 par parcours, %n parcours, depuis l&apos;étape %2</source>
        <translation>
            <numerusform>steps sent: %1 per cycle, %n cycle, from step %2</numerusform>
            <numerusform>steps sent: %1 per cycle, %n cycles, from step %2</numerusform>
        </translation>
    </message>
    <message>
        <source>En cours&#xa0;: %1</source>
        <translation>Sending: %1</translation>
    </message>
    <message>
        <source>hors de la course permise (hachuré)&#xa0;;&#xa0;?&#xa0;: position inconnue</source>
        <translation>beyond the allowed travel (hatched); ?: position unknown</translation>
    </message>
</context>
</TS>
