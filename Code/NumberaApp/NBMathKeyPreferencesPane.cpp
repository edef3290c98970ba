#include "NBMathKeyPreferencesPane.h"

#include <QApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <cmath>

#include "NBMathKey.h"
#include "NBMathKeyFieldEditor.h"
#include "NBTokenCell.h"
#include "NSLocalizedString.h"
#include "Settings.h"

namespace {

enum Column { EnabledColumn = 0, KeyColumn = 1, StringColumn = 2 };
// The recorded event of an edited key cell, kept in the model until the pane stores it.
constexpr int kRecordedRole = Qt::UserRole + 1;

QString localized(const char16_t* key) { return QString::fromStdU16String(NSLocalizedString(key)); }

}  // namespace

void NBMathKeyCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const {
    // The cell's background and selection without its text: the token shows the text.
    QStyleOptionViewItem plain = option;
    initStyleOption(&plain, index);
    plain.text.clear();
    QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &plain, painter, option.widget);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return;
    NBTokenCell token;
    token.setFont(option.font);
    token.setStringValue(text);
    token.setTokenStyle(0);
    token.setHighlighted(option.state & QStyle::State_Selected);
    const QSizeF size = token.cellSize();
    // Natural size, centred across, at the top of the cell.
    const double left = std::floor(option.rect.x() + (option.rect.width() - size.width()) / 2);
    token.drawWithFrame(*painter,
                        QRectF(left, option.rect.y() + 1, size.width(),
                               std::min<double>(size.height(), option.rect.height() - 2)));
}

QWidget* NBMathKeyCell::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                     const QModelIndex&) const {
    return new NBMathKeyFieldEditor(parent);
}

void NBMathKeyCell::setEditorData(QWidget*, const QModelIndex&) const {
    // The editor starts empty.
}

void NBMathKeyCell::setModelData(QWidget* editor, QAbstractItemModel* model,
                                 const QModelIndex& index) const {
    auto* field = qobject_cast<NBMathKeyFieldEditor*>(editor);
    if (!field || !field->lastMeaningfulEvent()) return;
    const NBKeyEvent& event = *field->lastMeaningfulEvent();
    QVariantList recorded{QVariant::fromValue<qulonglong>(event.modifierFlags),
                          QString::fromStdU16String(event.characters),
                          QString::fromStdU16String(event.charactersIgnoringModifiers),
                          static_cast<int>(event.keyCode)};
    model->setData(index, recorded, kRecordedRole);
    emit fieldEditorFinishedWithEvent(index.row());
}

NBMathKeyPreferencesPane::NBMathKeyPreferencesPane(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("mathKeyPreferencesPane"));
    auto* layout = new QVBoxLayout(this);
    m_enabled = new QCheckBox(localized(u"Enable keystroke replacements"), this);
    m_enabled->setObjectName(QStringLiteral("mathKeyEnabled"));
    if (std::shared_ptr<Settings> settings = Settings::standard())
        m_enabled->setChecked(settings->boolForKey("NBMathKeyEnabled"));
    connect(m_enabled, &QCheckBox::toggled, this, [](bool on) {
        if (std::shared_ptr<Settings> settings = Settings::standard())
            settings->setObject("NBMathKeyEnabled", on);
    });
    layout->addWidget(m_enabled);
    m_table = new QTableWidget(0, 3, this);
    m_table->setObjectName(QStringLiteral("mathkeyTableView"));
    m_table->setHorizontalHeaderLabels(
        {localized(u"On"), localized(u"Keystroke"), localized(u"Replacement")});
    m_table->horizontalHeader()->setSectionResizeMode(EnabledColumn, QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(StringColumn, QHeaderView::Stretch);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::SelectedClicked);
    auto* cell = new NBMathKeyCell(m_table);
    m_table->setItemDelegateForColumn(KeyColumn, cell);
    layout->addWidget(m_table);
    auto* buttons = new QHBoxLayout;
    m_add = new QPushButton(QStringLiteral("+"), this);
    m_add->setObjectName(QStringLiteral("addMathKey"));
    m_remove = new QPushButton(QStringLiteral("\u2212"), this);
    m_remove->setObjectName(QStringLiteral("removeMathKey"));
    buttons->addWidget(m_add);
    buttons->addWidget(m_remove);
    buttons->addStretch();
    layout->addLayout(buttons);
    connect(m_add, &QPushButton::clicked, this, &NBMathKeyPreferencesPane::addReplacement);
    connect(m_remove, &QPushButton::clicked, this, &NBMathKeyPreferencesPane::removeReplacement);
    connect(m_table, &QTableWidget::itemChanged, this, &NBMathKeyPreferencesPane::itemChanged);
    reloadData();
}

void NBMathKeyPreferencesPane::setController(NBMathKeyController* controller) {
    m_controller = controller;
    reloadData();
}

NBMathKeyController& NBMathKeyPreferencesPane::controller() const {
    return m_controller ? *m_controller : NBMathKeyController::sharedInstance();
}

void NBMathKeyPreferencesPane::reloadData() {
    m_reloading = true;
    const std::vector<NBMathKey>& keys = controller().keystrokeReplacements();
    m_table->setRowCount(static_cast<int>(keys.size()));
    for (int row = 0; row < static_cast<int>(keys.size()); ++row) {
        const NBMathKey& key = keys[static_cast<size_t>(row)];
        auto* enabled = new QTableWidgetItem;
        enabled->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        enabled->setCheckState(key.enabled() ? Qt::Checked : Qt::Unchecked);
        m_table->setItem(row, EnabledColumn, enabled);
        m_table->setItem(row, KeyColumn,
                         new QTableWidgetItem(QString::fromStdU16String(key.desktopStringValue())));
        m_table->setItem(row, StringColumn,
                         new QTableWidgetItem(QString::fromStdU16String(key.string())));
    }
    m_reloading = false;
}

void NBMathKeyPreferencesPane::itemChanged(QTableWidgetItem* item) {
    if (m_reloading || !item) return;
    std::vector<NBMathKey>& keys = controller().keystrokeReplacements();
    const int row = item->row();
    if (row < 0 || row >= static_cast<int>(keys.size())) return;
    NBMathKey& key = keys[static_cast<size_t>(row)];
    switch (item->column()) {
        case EnabledColumn:
            key.setEnabled(item->checkState() == Qt::Checked);
            break;
        case StringColumn:
            key.setString(item->text().toStdU16String());
            break;
        case KeyColumn: {
            const QVariantList recorded = item->data(kRecordedRole).toList();
            if (recorded.size() != 4) return;
            NBKeyEvent event;
            event.modifierFlags = recorded[0].toULongLong();
            event.characters = recorded[1].toString().toStdU16String();
            event.charactersIgnoringModifiers = recorded[2].toString().toStdU16String();
            event.keyCode = static_cast<uint16_t>(recorded[3].toInt());
            key.setEvent(event);
            m_reloading = true;
            item->setText(QString::fromStdU16String(key.desktopStringValue()));
            m_reloading = false;
            break;
        }
        default:
            return;
    }
    // Edits reach the file now, not only when the application quits.
    save();
}

void NBMathKeyPreferencesPane::addReplacement() {
    controller().addMathkey(NBMathKey());
    reloadData();
    save();
    m_table->setCurrentCell(m_table->rowCount() - 1, KeyColumn);
    m_table->editItem(m_table->item(m_table->rowCount() - 1, KeyColumn));
}

void NBMathKeyPreferencesPane::removeReplacement() {
    const int row = m_table->currentRow();
    std::vector<NBMathKey>& keys = controller().keystrokeReplacements();
    if (row < 0 || row >= static_cast<int>(keys.size())) return;
    keys.erase(keys.begin() + row);
    reloadData();
    save();
}

void NBMathKeyPreferencesPane::save() {
    if (!controller().dataSourcePath().empty()) controller().save();
}
