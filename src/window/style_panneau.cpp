#include "window/style_panneau.h"

#include <QApplication>
#include <QIconEngine>
#include <QImage>
#include <QPixmap>
#include <QProxyStyle>
#include <QResource>

namespace tarvik::window {

namespace {

constexpr int CoteIcone = 64;

// A standard icon of `style`, asked of it only when first drawn.
class IconeDifferee : public QIconEngine {
public:
    IconeDifferee(const QStyle *style, QStyle::StandardPixmap quelle)
        : m_style(style)
        , m_quelle(quelle)
    {
    }
    void paint(QPainter *peintre, const QRect &zone, QIcon::Mode mode, QIcon::State etat) override
    {
        icone().paint(peintre, zone, Qt::AlignCenter, mode, etat);
    }
    QPixmap pixmap(const QSize &taille, QIcon::Mode mode, QIcon::State etat) override
    {
        return icone().pixmap(taille, mode, etat);
    }
    QSize actualSize(const QSize &taille, QIcon::Mode mode, QIcon::State etat) override
    {
        return icone().actualSize(taille, mode, etat);
    }
    QIconEngine *clone() const override { return new IconeDifferee(m_style, m_quelle); }

private:
    QIcon &icone()
    {
        if (m_icone.isNull())
            m_icone = m_style->standardIcon(m_quelle);
        return m_icone;
    }

    const QStyle *m_style;
    QStyle::StandardPixmap m_quelle;
    QIcon m_icone;
};

class StylePanneau : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap quelle, const QStyleOption *option,
                       const QWidget *controle) const override
    {
        if (quelle == SP_ToolBarHorizontalExtensionButton ||
            quelle == SP_ToolBarVerticalExtensionButton)
            return QIcon(new IconeDifferee(baseStyle(), quelle));
        return QProxyStyle::standardIcon(quelle, option, controle);
    }
};

} // namespace

QIcon IconeTarvik()
{
    const QByteArray pixels = QResource(QStringLiteral(":/tarvik/tarvik.rgba")).uncompressedData();
    if (pixels.size() != CoteIcone * CoteIcone * 4)
        return {};
    // The image only borrows the bytes: the pixmap takes its own copy.
    const QImage image(reinterpret_cast<const uchar *>(pixels.constData()), CoteIcone, CoteIcone,
                       QImage::Format_RGBA8888);
    return QIcon(QPixmap::fromImage(image));
}

void InstallerStylePanneau()
{
    // The style in force: the platform's, or the one the operator asked
    // for (-style, QT_STYLE_OVERRIDE).
    QApplication::setStyle(new StylePanneau(QApplication::style()->name()));
}

} // namespace tarvik::window
