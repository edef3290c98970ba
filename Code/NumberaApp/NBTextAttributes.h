// The shared default text attributes of the calculation text: the font kept in the setting
// "NBDefaultFont" (a QFont description), the alignment kept in "NBDefaultTextAlignment", and
// the paragraph style (line spacing 1, paragraph spacing 10 as each block's bottom margin).
#ifndef NUMBERA_APP_NB_TEXT_ATTRIBUTES_H
#define NUMBERA_APP_NB_TEXT_ATTRIBUTES_H

#include <QFont>
#include <QTextBlockFormat>
#include <QTextCharFormat>

class NBTextAttributes {
  public:
    static constexpr int kMinimumFontSize = 8;
    static constexpr int kMaximumFontSize = 65;
    static constexpr int kInitialFontSize = 18;
    static constexpr double kParagraphSpacing = 10.0;

    // The setting's font when it holds a readable one, else the system font at 18 points.
    static QFont defaultTextViewFont();
    // The setting's value: 0 left, 1 right, 2 centre, 3 justified, 4 natural (as left).
    static int defaultTextViewAlignment();
    static Qt::Alignment qtAlignment(int alignment);
    // A fresh paragraph style with the default alignment.
    static QTextBlockFormat defaultTextViewParagraphStyle();
    // The default font as a character format.
    static QTextCharFormat defaultTextViewAttributes();
    // One point bigger or smaller within 8 to 65 points, stored in the setting.
    static void increaseDefaultFontSize();
    static void decreaseDefaultFontSize();

  private:
    static void changeDefaultFontSize(int delta);
};

#endif
