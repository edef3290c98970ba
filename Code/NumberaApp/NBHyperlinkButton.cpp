#include "NBHyperlinkButton.h"

#include <QDesktopServices>
#include <QPainter>
#include <QStyleOptionButton>
#include <QUrl>

#include "Diagnostics.h"

namespace {

NBHyperlinkButton::Opener& opener() {
    static NBHyperlinkButton::Opener s_opener;
    return s_opener;
}

}  // namespace

NBHyperlinkButton::NBHyperlinkButton(QWidget* parent) : QPushButton(parent) {
    setFlat(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    QFont font = this->font();
    font.setUnderline(true);
    setFont(font);
    connect(this, &QPushButton::clicked, this, [this] { openURLInBrowser(); });
}

void NBHyperlinkButton::setOpener(Opener replacement) { opener() = std::move(replacement); }

bool NBHyperlinkButton::openURLInBrowser() {
    const QUrl url(m_urlString, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        url.host().isEmpty()) {
        Diagnostics::error("Refusing to open a link that is not a web address: " +
                           m_urlString.toStdString());
        return false;
    }
    if (opener()) return opener()(url);
    return QDesktopServices::openUrl(url);
}

void NBHyperlinkButton::paintEvent(QPaintEvent*) {
    // No bezel, in any state: only the blue, underlined title.
    QPainter painter(this);
    painter.setFont(font());
    painter.setPen(isEnabled() ? QColor(Qt::blue)
                               : palette().color(QPalette::Disabled, QPalette::WindowText));
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text());
}
