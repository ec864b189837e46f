// The locale's variables for one test: LANG as it sets it, LC_ALL and
// LC_MESSAGES unset, all three put back afterwards.
#pragma once

#include <QByteArrayList>
#include <QtGlobal>

class LocaleEssai {
public:
    explicit LocaleEssai(const QByteArray &lang)
    {
        for (const char *nom : {"LC_ALL", "LC_MESSAGES", "LANG"})
            m_avant << qgetenv(nom);
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        qputenv("LANG", lang);
    }
    ~LocaleEssai()
    {
        const char *noms[] = {"LC_ALL", "LC_MESSAGES", "LANG"};
        for (int k = 0; k < 3; ++k)
            m_avant[k].isEmpty() ? qunsetenv(noms[k]) : qputenv(noms[k], m_avant[k]);
    }

private:
    QByteArrayList m_avant;
};
