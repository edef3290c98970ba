#include "QtSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <charconv>

namespace {

QString toQString(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string toU16(const QString& text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text.utf16()),
                          static_cast<size_t>(text.size()));
}

QVariant toVariant(const SettingsValue& value) {
    struct Visitor {
        QVariant operator()(bool v) const { return QVariant(v); }
        QVariant operator()(int64_t v) const { return QVariant(static_cast<qlonglong>(v)); }
        QVariant operator()(double v) const { return QVariant(v); }
        QVariant operator()(const std::u16string& v) const { return QVariant(toQString(v)); }
        QVariant operator()(const std::vector<std::u16string>& v) const {
            QStringList list;
            for (const auto& item : v) list << toQString(item);
            return QVariant(list);
        }
    };
    return std::visit(Visitor{}, value);
}

// The stored value as INI text; a list has no single text.
std::optional<std::string> asText(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList) return std::nullopt;
    if (value.typeId() == QMetaType::Bool) return value.toBool() ? "true" : "false";
    return value.toString().trimmed().toStdString();
}

std::optional<bool> readBool(const std::string& text) {
    std::string word;
    for (char c : text) word.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
    if (word == "true" || word == "yes" || word == "1") return true;
    if (word == "false" || word == "no" || word == "0") return false;
    return std::nullopt;
}

template <typename Number>
std::optional<Number> readNumber(const std::string& text) {
    Number number{};
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, number);
    if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
    return number;
}

std::vector<std::u16string> toList(const QVariant& value) {
    std::vector<std::u16string> list;
    if (value.typeId() == QMetaType::QStringList) {
        for (const QString& item : value.toStringList()) list.push_back(toU16(item));
    } else if (!value.toString().isEmpty()) {
        list.push_back(toU16(value.toString()));
    }
    return list;
}

}  // namespace

QString QtSettings::defaultFilePath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           "/Numbera/Numbera.conf";
}

QtSettings::QtSettings(const QString& filePath, QObject* parent)
    : QObject(parent), m_settings(std::make_unique<QSettings>(filePath, QSettings::IniFormat)) {
    QDir().mkpath(QFileInfo(filePath).absolutePath());
}

QtSettings::~QtSettings() { m_settings->sync(); }

QString QtSettings::filePath() const { return m_settings->fileName(); }

std::optional<SettingsValue> QtSettings::storedValue(
    const QString& key, const std::optional<SettingsValue>& registered) const {
    if (!m_settings->contains(key)) return std::nullopt;
    const QVariant value = m_settings->value(key);
    if (!registered) {
        // Nothing says what the value should be: keep what the file can tell.
        if (value.typeId() == QMetaType::QStringList) return toList(value);
        if (value.typeId() == QMetaType::Bool) return value.toBool();
        if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Int)
            return static_cast<int64_t>(value.toLongLong());
        if (value.typeId() == QMetaType::Double) return value.toDouble();
        return toU16(value.toString());
    }
    if (std::holds_alternative<std::vector<std::u16string>>(*registered)) return toList(value);
    if (std::holds_alternative<std::u16string>(*registered)) {
        if (value.typeId() == QMetaType::QStringList) return std::nullopt;
        return toU16(value.toString());
    }
    const auto text = asText(value);
    if (!text) return std::nullopt;
    if (std::holds_alternative<bool>(*registered)) {
        if (auto b = readBool(*text)) return *b;
        return std::nullopt;
    }
    if (std::holds_alternative<int64_t>(*registered)) {
        if (auto i = readNumber<int64_t>(*text)) return *i;
        return std::nullopt;
    }
    if (auto d = readNumber<double>(*text)) return *d;
    return std::nullopt;
}

std::optional<SettingsValue> QtSettings::objectForKey(const std::string& key) const {
    std::lock_guard lock(m_mutex);
    std::optional<SettingsValue> registered;
    if (auto found = m_defaults.find(key); found != m_defaults.end()) registered = found->second;
    if (auto stored = storedValue(QString::fromStdString(key), registered)) return stored;
    return registered;
}

void QtSettings::setObject(const std::string& key, SettingsValue value) {
    {
        std::lock_guard lock(m_mutex);
        m_settings->setValue(QString::fromStdString(key), toVariant(value));
    }
    emit valueChanged(QString::fromStdString(key));
}

void QtSettings::removeObjectForKey(const std::string& key) {
    {
        std::lock_guard lock(m_mutex);
        m_settings->remove(QString::fromStdString(key));
    }
    emit valueChanged(QString::fromStdString(key));
}

void QtSettings::registerDefaults(const std::map<std::string, SettingsValue>& defaults) {
    std::lock_guard lock(m_mutex);
    for (const auto& [key, value] : defaults) m_defaults[key] = value;
}

std::map<std::u16string, std::u16string> QtSettings::dictionaryForKey(
    const std::string& key) const {
    std::lock_guard lock(m_mutex);
    std::map<std::u16string, std::u16string> dictionary;
    m_settings->beginGroup(QString::fromStdString(key));
    for (const QString& entry : m_settings->childKeys())
        dictionary[toU16(entry)] = toU16(m_settings->value(entry).toString());
    m_settings->endGroup();
    return dictionary;
}

void QtSettings::setDictionary(const std::string& key,
                               const std::map<std::u16string, std::u16string>& dictionary) {
    {
        std::lock_guard lock(m_mutex);
        const QString group = QString::fromStdString(key);
        m_settings->remove(group);
        m_settings->beginGroup(group);
        for (const auto& [entry, value] : dictionary)
            m_settings->setValue(toQString(entry), toQString(value));
        m_settings->endGroup();
    }
    emit valueChanged(QString::fromStdString(key));
}

QMetaObject::Connection QtSettings::observe(const QString& key, QObject* context,
                                            std::function<void()> changed) {
    return connect(this, &QtSettings::valueChanged, context,
                   [key, changed = std::move(changed)](const QString& changedKey) {
                       if (changedKey == key) changed();
                   });
}

bool QtSettings::synchronize() {
    std::lock_guard lock(m_mutex);
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}
