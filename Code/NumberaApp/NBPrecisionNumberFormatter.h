// The decimal-places field's formatter: a negative setting (no fixed number of places) shows
// as an empty field.
#ifndef NUMBERA_APP_NB_PRECISION_NUMBER_FORMATTER_H
#define NUMBERA_APP_NB_PRECISION_NUMBER_FORMATTER_H

#include <QLocale>
#include <QString>
#include <QVariant>

class NBPrecisionNumberFormatter {
  public:
    explicit NBPrecisionNumberFormatter(QLocale locale = QLocale()) : m_locale(std::move(locale)) {}
    virtual ~NBPrecisionNumberFormatter() = default;

    const QLocale& locale() const { return m_locale; }
    void setLocale(QLocale locale) { m_locale = std::move(locale); }

    // Empty for a value that is not a number and for a number whose integer value is
    // negative; any other number as stringForNumber gives it.
    QString stringForObjectValue(const QVariant& value) const;

  protected:
    // A whole number in the locale's digits, without grouping; halves go to the even
    // neighbour.
    virtual QString stringForNumber(double number) const;

  private:
    QLocale m_locale;
};

#endif
