// The font registered for an interface language whose script the default font lacks.
#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QFontMetrics>
#include <QList>
#include <QStringList>

#include "NBAppResources.h"
#include "NBDefaultFontChooser.h"

namespace {

const std::u16string kRussian = u"Пример текста";

bool draws(const QFont& font, const QString& text) {
    QFont exact = font;
    exact.setStyleStrategy(QFont::NoFontMerging);
    const QFontMetrics metrics(exact);
    for (const uint c : text.toUcs4())
        if (!QChar::isSpace(c) && !metrics.inFontUcs4(c)) return false;
    return true;
}

TEST(DefaultFontChooser, AFontThatDrawsTheExampleIsKept) {
    for (const QString& family : QFontDatabase::families()) {
        if (!draws(QFont(family), "Example")) continue;
        EXPECT_EQ(NBDefaultFontChooser::fontForExampleString(u"Example", QFont(family)),
                  std::nullopt)
            << family.toStdString();
        return;
    }
    GTEST_SKIP() << "no installed font draws Latin letters";
}

TEST(DefaultFontChooser, AFontThatLacksTheScriptIsReplacedByOneAt16Points) {
    const QString russian = NBAppResources::toQString(kRussian);
    QString lacking;
    for (const QString& family : QFontDatabase::families())
        if (!draws(QFont(family), russian)) lacking = family;
    if (lacking.isEmpty()) GTEST_SKIP() << "every installed font draws Cyrillic";
    QFont base(lacking);
    base.setStyleStrategy(QFont::NoFontMerging);
    const auto chosen = NBDefaultFontChooser::fontForExampleString(kRussian, base);
    bool anyDraws = false;
    for (const QString& family : QFontDatabase::families())
        anyDraws = anyDraws || draws(QFont(family), russian.left(5));
    if (!anyDraws) {
        EXPECT_EQ(chosen, std::nullopt);
        return;
    }
    ASSERT_TRUE(chosen.has_value());
    QFont font;
    ASSERT_TRUE(font.fromString(NBAppResources::toQString(*chosen)));
    EXPECT_EQ(font.pointSize(), 16);
    EXPECT_TRUE(draws(font, russian.left(5))) << font.family().toStdString();
}

TEST(DefaultFontChooser, AnEmptyExampleAsksForNoFont) {
    EXPECT_EQ(NBDefaultFontChooser::fontForExampleString(u"", QFont()), std::nullopt);
}

}  // namespace
