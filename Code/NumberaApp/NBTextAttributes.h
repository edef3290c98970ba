// The shared default text font of the calculation text, kept in the setting "NBDefaultFont"
// (a QFont description). Only the font size is offered here so far.
#ifndef NUMBERA_APP_NB_TEXT_ATTRIBUTES_H
#define NUMBERA_APP_NB_TEXT_ATTRIBUTES_H

#include <QFont>

class NBTextAttributes {
  public:
    static constexpr int kMinimumFontSize = 8;
    static constexpr int kMaximumFontSize = 65;
    static constexpr int kInitialFontSize = 18;

    // The setting's font when it holds a readable one, else the system font at 18 points.
    static QFont defaultTextViewFont();
    // One point bigger or smaller within 8 to 65 points, stored in the setting.
    static void increaseDefaultFontSize();
    static void decreaseDefaultFontSize();

  private:
    static void changeDefaultFontSize(int delta);
};

#endif
