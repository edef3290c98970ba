#include "NBFontSelectorView.h"

#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <cmath>

#include "NBAppResources.h"
#include "NSLocalizedString.h"

NBFontSelectorView::NBFontSelectorView(QWidget* parent)
    : QWidget(parent), m_textField(new QLineEdit(this)), m_button(new QPushButton(this)) {
    setObjectName(QStringLiteral("fontSelector"));
    m_textField->setObjectName(QStringLiteral("fontSelectorText"));
    m_textField->setReadOnly(true);
    m_textField->setFocusPolicy(Qt::NoFocus);
    QFont small = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    small.setPointSize(12);
    m_textField->setFont(small);
    m_button->setObjectName(QStringLiteral("fontSelectorButton"));
    m_button->setText(NBAppResources::toQString(NSLocalizedString(u"Select...")));
    connect(m_button, &QPushButton::clicked, this, &NBFontSelectorView::showFontPanel);
    QFont initial = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    initial.setPointSize(14);
    m_selectedFont = initial;
    m_textField->setText(displayText(m_selectedFont));
    layoutSubviews();
}

NBFontSelectorView::~NBFontSelectorView() { delete m_fontPanel; }

void NBFontSelectorView::layoutSubviews() {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(5);
    layout->addWidget(m_textField, 1);
    layout->addWidget(m_button);
}

QString NBFontSelectorView::displayText(const QFont& font) {
    return QStringLiteral("%1 - %2 pt").arg(font.family()).arg(font.pointSizeF(), 0, 'f', 1);
}

QFont NBFontSelectorView::pointSizedFont(const QFont& font, double dotsPerInch) {
    if (font.pointSizeF() > 0 || font.pixelSize() <= 0) return font;
    QFont points = font;
    const double dpi = dotsPerInch > 0 ? dotsPerInch : 96.0;
    // Tenths of a point are all the text shows and stores.
    points.setPointSizeF(std::round(font.pixelSize() * 72.0 / dpi * 10.0) / 10.0);
    return points;
}

void NBFontSelectorView::setSelectedFont(const QFont& font) {
    if (font == m_selectedFont && font.pointSizeF() == m_selectedFont.pointSizeF()) return;
    m_selectedFont = font;
    m_textField->setText(displayText(m_selectedFont));
    if (m_delegate) m_delegate->fontDidChange(*this, m_selectedFont);
}

void NBFontSelectorView::changeFont(const QFont& font) {
    const QScreen* display = screen();
    setSelectedFont(pointSizedFont(font, display ? display->logicalDotsPerInchY() : 96.0));
}

void NBFontSelectorView::showFontPanel() {
    if (!m_fontPanel) {
        m_fontPanel = new QFontDialog(window());
        m_fontPanel->setObjectName(QStringLiteral("fontPanel"));
        m_fontPanel->setWindowModality(Qt::NonModal);
        connect(m_fontPanel, &QFontDialog::fontSelected, this, &NBFontSelectorView::changeFont);
    }
    m_fontPanel->setCurrentFont(m_selectedFont);
    m_fontPanel->show();
    m_fontPanel->raise();
    m_fontPanel->activateWindow();
}
