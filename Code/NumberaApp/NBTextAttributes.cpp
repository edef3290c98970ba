#include "NBTextAttributes.h"

#include <QFontDatabase>
#include <algorithm>

#include "NBAppResources.h"
#include "Settings.h"

namespace {

constexpr const char* kDefaultFontKey = "NBDefaultFont";

}  // namespace

QFont NBTextAttributes::defaultTextViewFont() {
    if (auto description = Settings::standard()->stringForKey(kDefaultFontKey)) {
        // A description written by QFont::toString() has ten fields or more; anything shorter
        // (a hand-edited value) would read as a family name at the toolkit's default size.
        const QString text = NBAppResources::toQString(*description);
        QFont font;
        if (text.count(',') >= 9 && font.fromString(text) && font.pointSize() > 0) return font;
    }
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(kInitialFontSize);
    return font;
}

int NBTextAttributes::defaultTextViewAlignment() {
    const auto value = Settings::standard()->integerForKey("NBDefaultTextAlignment");
    return value >= 0 && value <= 4 ? static_cast<int>(value) : 0;
}

Qt::Alignment NBTextAttributes::qtAlignment(int alignment) {
    switch (alignment) {
        case 1:
            return Qt::AlignRight;
        case 2:
            return Qt::AlignHCenter;
        case 3:
            return Qt::AlignJustify;
        default:
            return Qt::AlignLeft;
    }
}

QTextBlockFormat NBTextAttributes::defaultTextViewParagraphStyle() {
    QTextBlockFormat format;
    format.setBottomMargin(kParagraphSpacing);
    format.setLineHeight(1, QTextBlockFormat::LineDistanceHeight);
    format.setAlignment(qtAlignment(defaultTextViewAlignment()));
    return format;
}

QTextCharFormat NBTextAttributes::defaultTextViewAttributes() {
    QTextCharFormat format;
    format.setFont(defaultTextViewFont());
    return format;
}

void NBTextAttributes::increaseDefaultFontSize() { changeDefaultFontSize(1); }

void NBTextAttributes::decreaseDefaultFontSize() { changeDefaultFontSize(-1); }

void NBTextAttributes::changeDefaultFontSize(int delta) {
    QFont font = defaultTextViewFont();
    font.setPointSize(std::clamp(font.pointSize() + delta, kMinimumFontSize, kMaximumFontSize));
    Settings::standard()->setObject(kDefaultFontKey, NBAppResources::toU16(font.toString()));
}
