#include "MGScopeBar.h"

#include <QAction>
#include <QLabel>
#include <QLinearGradient>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <algorithm>
#include <cmath>

#include "NBAppResources.h"
#include "NSLocalizedString.h"

namespace {

const char* const kIdentifierProperty = "scopeIdentifier";
const char* const kGroupProperty = "scopeGroup";

QString identifierOf(const QObject* control) {
    return control ? control->property(kIdentifierProperty).toString() : QString();
}

int groupOf(const QObject* control) {
    return control ? control->property(kGroupProperty).toInt() : -1;
}

QString localized(const char16_t* key) { return NBAppResources::toQString(NSLocalizedString(key)); }

}  // namespace

MGScopeBar::MGScopeBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("scopeBar"));
    setFixedHeight(kBarHeight);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

MGScopeBar::~MGScopeBar() {
    m_delegate = nullptr;
    if (m_accessoryView && m_accessoryView->parentWidget() == this)
        m_accessoryView->setParent(nullptr);
}

void MGScopeBar::setDelegate(MGScopeBarDelegate* delegate) {
    if (delegate == m_delegate) return;
    m_delegate = delegate;
    reloadData();
}

void MGScopeBar::setSmartResizeEnabled(bool enabled) {
    if (enabled == m_smartResizeEnabled) return;
    m_smartResizeEnabled = enabled;
    reloadData();
}

void MGScopeBar::sizeToFit() {
    // The top edge stays where it is.
    if (height() != kBarHeight) setGeometry(x(), y(), width(), kBarHeight);
}

void MGScopeBar::clear() {
    // The accessory belongs to the delegate: it leaves the bar without being destroyed.
    if (m_accessoryView && m_accessoryView->parentWidget() == this) {
        m_accessoryView->hide();
        m_accessoryView->setParent(nullptr);
    }
    m_accessoryView = nullptr;
    const QObjectList children = this->children();
    for (QObject* child : children)
        if (child->isWidgetType()) delete child;
    m_separatorPositions.clear();
    m_groups.clear();
    m_identifiers.clear();
    m_selectedItems.clear();
    m_firstCollapsedGroup = kNotFound;
    m_lastWidth.reset();
    m_totalGroupsWidthForPopups = 0;
}

void MGScopeBar::reloadData() {
    sizeToFit();
    clear();
    if (!m_delegate) {
        update();
        return;
    }
    const int groupCount = m_delegate->numberOfGroupsInScopeBar(*this);
    if (groupCount > 0) {
        int x = kLeftMargin;
        for (int groupNumber = 0; groupNumber < groupCount; ++groupNumber) {
            Group group;
            const std::optional<bool> asked =
                m_delegate->scopeBarShowSeparatorBeforeGroup(*this, groupNumber);
            group.hasSeparator = asked ? *asked : groupNumber > 0;
            if (group.hasSeparator) {
                m_separatorPositions.push_back(x);
                x += kSeparatorWidth;
                m_totalGroupsWidthForPopups += kSeparatorWidth;
            } else {
                m_separatorPositions.push_back(std::nullopt);
            }
            const QString label = m_delegate->scopeBarLabelForGroup(*this, groupNumber);
            if (!label.isEmpty()) {
                auto* field = new QLabel(label, this);
                QFont font = field->font();
                font.setBold(true);
                font.setPointSize(12);
                field->setFont(font);
                QPalette palette = field->palette();
                palette.setColor(QPalette::WindowText, QColor::fromRgbF(0.45, 0.45, 0.45, 1.0));
                field->setPalette(palette);
                field->adjustSize();
                field->move(x, 6);
                field->show();
                group.hasLabel = true;
                group.labelField = field;
                x += field->width() + kSpacing;
                m_totalGroupsWidthForPopups += field->width() + kSpacing;
            }
            int mode = m_delegate->scopeBarSelectionModeForGroup(*this, groupNumber);
            if (mode != MGRadioSelectionMode && mode != MGMultipleSelectionMode)
                mode = MGRadioSelectionMode;
            group.selectionMode = mode;
            const QStringList identifiers =
                m_delegate->scopeBarItemIdentifiersForGroup(*this, groupNumber);
            for (const QString& identifier : identifiers) {
                if (group.identifiers.contains(identifier)) continue;
                group.identifiers << identifier;
                const QString title =
                    m_delegate->scopeBarTitleOfItemInGroup(*this, identifier, groupNumber);
                const QIcon image =
                    m_delegate->scopeBarImageForItemInGroup(*this, identifier, groupNumber);
                QPushButton* button = makeButton(identifier, groupNumber, title, image);
                button->move(x, button->y());
                button->show();
                x += button->width() + kSpacing;
                group.widestButtonWidth = std::max(group.widestButtonWidth, button->width());
                group.totalButtonsWidth +=
                    group.controls.empty() ? button->width() : kSpacing + button->width();
                group.controls.push_back(button);
            }
            m_totalGroupsWidthForPopups += popupWidth(group);
            m_groups.push_back(group);
            m_selectedItems.emplace_back();
            if (mode == MGRadioSelectionMode && !group.identifiers.isEmpty())
                setSelected(true, group.identifiers.first(), groupNumber);
        }
        m_totalGroupsWidthForPopups += kSpacing * (groupCount - 1);
    }
    if (QWidget* accessory = m_delegate->accessoryViewForScopeBar(*this)) {
        m_accessoryView = accessory;
        accessory->setParent(this);
        accessory->move(width() - (accessory->width() + 8), (kBarHeight - accessory->height()) / 2);
        accessory->show();
    }
    adjustSubviews();
    update();
}

QPushButton* MGScopeBar::makeButton(const QString& identifier, int group, const QString& title,
                                    const QIcon& image) {
    auto* button = new QPushButton(title, this);
    button->setObjectName(QStringLiteral("scopeButton_") + identifier);
    button->setCheckable(true);
    button->setFlat(true);
    button->setFocusPolicy(Qt::NoFocus);
    if (!image.isNull()) {
        button->setIcon(image);
        button->setIconSize(QSize(16, 16));
    }
    button->setProperty(kIdentifierProperty, identifier);
    button->setProperty(kGroupProperty, group);
    button->resize(50, 20);
    button->resize(std::max(button->sizeHint().width(), 20), 20);
    button->move(button->x(), (kBarHeight - button->height()) / 2);
    connect(button, &QPushButton::clicked, this, [this, button] { scopeButtonClicked(button); });
    setControl(button, identifier, group);
    return button;
}

QAction* MGScopeBar::makeMenuItem(const QString& identifier, int group, const QString& title,
                                  const QIcon& image, QObject* owner) {
    auto* item = new QAction(image, title, owner);
    item->setObjectName(QStringLiteral("scopeMenuItem_") + identifier);
    item->setCheckable(true);
    item->setProperty(kIdentifierProperty, identifier);
    item->setProperty(kGroupProperty, group);
    connect(item, &QAction::triggered, this, [this, item] { scopeButtonClicked(item); });
    setControl(item, identifier, group);
    return item;
}

QPushButton* MGScopeBar::popupButtonForGroup(int groupNumber) {
    Group& group = m_groups[static_cast<size_t>(groupNumber)];
    auto* popup = new QPushButton(this);
    popup->setObjectName(QStringLiteral("scopePopup_") + QString::number(groupNumber));
    popup->setFocusPolicy(Qt::NoFocus);
    QFont font = popup->font();
    font.setBold(true);
    font.setPointSize(12);
    popup->setFont(font);
    auto* menu = new QMenu(popup);
    for (QObject*& control : group.controls) {
        auto* button = qobject_cast<QPushButton*>(control);
        if (!button) continue;
        QAction* item =
            makeMenuItem(identifierOf(button), groupNumber, button->text(), button->icon(), menu);
        item->setChecked(button->isChecked());
        menu->addAction(item);
        control = item;
        delete button;
    }
    popup->setMenu(menu);
    popup->resize(popupWidth(group), 20);
    popup->move(popup->x(), static_cast<int>(std::ceil((kBarHeight - popup->height()) / 2.0)));
    return popup;
}

void MGScopeBar::setControl(QObject* control, const QString& identifier, int group) {
    std::vector<QObject*>& controls = m_identifiers[identifier];
    if (controls.size() <= static_cast<size_t>(group))
        controls.resize(static_cast<size_t>(group) + 1);
    controls[static_cast<size_t>(group)] = control;
}

QObject* MGScopeBar::getButtonForItem(const QString& identifier, int group) const {
    auto found = m_identifiers.find(identifier);
    if (found == m_identifiers.end() || group < 0 ||
        static_cast<size_t>(group) >= found->second.size())
        return nullptr;
    return found->second[static_cast<size_t>(group)];
}

QPushButton* MGScopeBar::buttonForItem(const QString& identifier, int group) const {
    return qobject_cast<QPushButton*>(getButtonForItem(identifier, group));
}

bool MGScopeBar::groupIsCollapsed(int group) const {
    return group >= 0 && static_cast<size_t>(group) < m_groups.size() &&
           m_groups[static_cast<size_t>(group)].menuMode;
}

QPushButton* MGScopeBar::popupButtonForGroupAtIndex(int group) const {
    if (!groupIsCollapsed(group)) return nullptr;
    return m_groups[static_cast<size_t>(group)].popupButton;
}

void MGScopeBar::scopeButtonClicked(QObject* sender) {
    const QString identifier = identifierOf(sender);
    const int group = groupOf(sender);
    bool selected = false;
    if (auto* item = qobject_cast<QAction*>(sender)) {
        const bool wasSelected = group >= 0 &&
                                 static_cast<size_t>(group) < m_selectedItems.size() &&
                                 m_selectedItems[static_cast<size_t>(group)].contains(identifier);
        selected = !wasSelected;
        item->setChecked(selected);
    } else if (auto* button = qobject_cast<QPushButton*>(sender)) {
        selected = button->isChecked();
    }
    setSelected(selected, identifier, group);
}

void MGScopeBar::setSelected(bool selected, const QString& identifier, int groupNumber) {
    if (identifier.isEmpty() || groupNumber < 0 ||
        static_cast<size_t>(groupNumber) >= m_groups.size())
        return;
    setUpdatesEnabled(false);
    const Group& group = m_groups[static_cast<size_t>(groupNumber)];
    QStringList& selection = m_selectedItems[static_cast<size_t>(groupNumber)];
    if (group.selectionMode == MGMultipleSelectionMode) {
        updateSelectedState(selected, identifier, groupNumber, true);
    } else if (selected) {
        for (const QString& other : QStringList(selection))
            updateSelectedState(false, other, groupNumber, false);
        updateSelectedState(true, identifier, groupNumber, true);
    } else if (selection.contains(identifier)) {
        // A radio group keeps its one selection.
        QObject* control = getButtonForItem(identifier, groupNumber);
        if (auto* button = qobject_cast<QPushButton*>(control)) button->setChecked(true);
        if (auto* item = qobject_cast<QAction*>(control)) item->setChecked(true);
    } else {
        updateSelectedState(false, identifier, groupNumber, true);
    }
    if (group.menuMode) updateMenuTitleForGroupAtIndex(groupNumber);
    setUpdatesEnabled(true);
}

void MGScopeBar::updateSelectedState(bool selected, const QString& identifier, int group,
                                     bool informDelegate) {
    QObject* control = getButtonForItem(identifier, group);
    if (auto* button = qobject_cast<QPushButton*>(control)) {
        if (button->isChecked() != selected) button->setChecked(selected);
    } else if (auto* item = qobject_cast<QAction*>(control)) {
        if (item->isChecked() != selected) item->setChecked(selected);
    }
    QStringList& selection = m_selectedItems[static_cast<size_t>(group)];
    if (selected && !selection.contains(identifier)) selection << identifier;
    if (!selected) selection.removeAll(identifier);
    if (informDelegate && m_delegate)
        m_delegate->scopeBarSelectedStateChangedForItemInGroup(*this, selected, identifier, group);
}

void MGScopeBar::updateMenuTitleForGroupAtIndex(int groupNumber) {
    const Group& group = m_groups[static_cast<size_t>(groupNumber)];
    if (!group.menuMode || !group.popupButton) return;
    const QStringList& selection = m_selectedItems[static_cast<size_t>(groupNumber)];
    QPushButton* popup = group.popupButton;
    if (selection.size() == 1) {
        QObject* control = getButtonForItem(selection.first(), groupNumber);
        auto* item = qobject_cast<QAction*>(control);
        popup->setText(item ? item->text() : selection.first());
        popup->setIcon(item ? item->icon() : QIcon());
    } else {
        popup->setText(selection.isEmpty() ? localized(u"(None)") : localized(u"(Multiple)"));
        popup->setIcon(QIcon());
    }
    // Bordered exactly when something is selected.
    popup->setFlat(selection.isEmpty());
}

int MGScopeBar::availableWidth() const {
    int available = width() - 2 * kLeftMargin;
    if (m_accessoryView) available -= m_accessoryView->width() + kSpacing;
    return available;
}

int MGScopeBar::usedWidth() const {
    // Counted at the pop-ups' full widths: a squeezed pop-up must not make the groups look as
    // if they fitted when widening.
    int used = 0;
    for (size_t index = 0; index < m_groups.size(); ++index) {
        const Group& group = m_groups[index];
        if (index > 0) {
            used += kSpacing;
            if (group.hasSeparator) used += kSeparatorWidth;
        }
        if (group.hasLabel && group.labelField) used += group.labelField->width() + kSpacing;
        used += group.menuMode ? popupWidth(group) : group.totalButtonsWidth;
    }
    return used;
}

void MGScopeBar::collapseGroup(int groupNumber) {
    Group& group = m_groups[static_cast<size_t>(groupNumber)];
    if (group.menuMode) return;
    QPushButton* popup = popupButtonForGroup(groupNumber);
    group.popupButton = popup;
    group.menuMode = true;
    popup->show();
    if (m_accessoryView) m_accessoryView->raise();
    updateMenuTitleForGroupAtIndex(groupNumber);
}

void MGScopeBar::expandGroup(int groupNumber) {
    Group& group = m_groups[static_cast<size_t>(groupNumber)];
    if (!group.menuMode) return;
    const QStringList& selection = m_selectedItems[static_cast<size_t>(groupNumber)];
    std::vector<QObject*> buttons;
    for (QObject* control : group.controls) {
        auto* item = qobject_cast<QAction*>(control);
        if (!item) continue;
        QPushButton* button =
            makeButton(identifierOf(item), groupNumber, item->text(), item->icon());
        button->setChecked(selection.contains(identifierOf(item)));
        button->show();
        buttons.push_back(button);
    }
    group.controls = buttons;
    delete group.popupButton;
    group.popupButton = nullptr;
    group.menuMode = false;
    if (m_accessoryView) m_accessoryView->raise();
}

void MGScopeBar::layoutGroups() {
    int x = kLeftMargin;
    for (size_t index = 0; index < m_groups.size(); ++index) {
        Group& group = m_groups[index];
        if (index > 0) x += kSpacing;
        if (group.hasSeparator) {
            m_separatorPositions[index] = x;
            x += kSeparatorWidth;
        }
        if (group.hasLabel && group.labelField) {
            group.labelField->move(x, group.labelField->y());
            x += group.labelField->width() + kSpacing;
        }
        if (group.menuMode && group.popupButton) {
            group.popupButton->move(x, group.popupButton->y());
            x += group.popupButton->width();
        } else {
            bool firstButton = true;
            for (QObject* control : group.controls) {
                auto* button = qobject_cast<QWidget*>(control);
                if (!button) continue;
                if (!firstButton) x += kSpacing;
                button->move(x, button->y());
                x += button->width();
                firstButton = false;
            }
        }
    }
}

void MGScopeBar::adjustSubviews() {
    if (!m_smartResizeEnabled || m_groups.empty()) return;
    const int barWidth = width();
    if (m_lastWidth && *m_lastWidth == barWidth) return;
    const bool narrowing = !m_lastWidth || barWidth < *m_lastWidth;
    const int available = availableWidth();
    const int groupCount = static_cast<int>(m_groups.size());
    std::vector<int> candidates;
    if (narrowing) {
        const int end = m_firstCollapsedGroup == kNotFound
                            ? groupCount
                            : static_cast<int>(m_firstCollapsedGroup);
        for (int group = end - 1; group >= 0; --group) candidates.push_back(group);
    } else if (m_firstCollapsedGroup != kNotFound) {
        for (int group = static_cast<int>(m_firstCollapsedGroup); group < groupCount; ++group)
            candidates.push_back(group);
    }
    int used = usedWidth();
    if (candidates.empty() || (narrowing && available >= used)) {
        m_lastWidth = barWidth;
        return;
    }
    setUpdatesEnabled(false);
    const int64_t oldFirst =
        m_firstCollapsedGroup == kNotFound ? groupCount : m_firstCollapsedGroup;
    int64_t newFirst = oldFirst;
    for (int candidate : candidates) {
        const Group& group = m_groups[static_cast<size_t>(candidate)];
        if (narrowing) {
            used += popupWidth(group) - group.totalButtonsWidth;
            newFirst = candidate;
            if (available >= used) break;
        } else {
            used += group.totalButtonsWidth - popupWidth(group);
            if (used > available) break;
            newFirst = candidate + 1;
        }
    }
    if (narrowing)
        for (int64_t group = newFirst; group < oldFirst; ++group)
            collapseGroup(static_cast<int>(group));
    else
        for (int64_t group = oldFirst; group < newFirst; ++group)
            expandGroup(static_cast<int>(group));
    m_firstCollapsedGroup = newFirst >= groupCount ? kNotFound : newFirst;
    // Pop-ups give way down to their least width when even they do not fit.
    int squeeze = 0;
    if (m_totalGroupsWidthForPopups > available)
        squeeze = (m_totalGroupsWidthForPopups - available) / groupCount;
    for (Group& group : m_groups) {
        if (!group.menuMode || !group.popupButton) continue;
        const int full = popupWidth(group);
        group.popupButton->resize(std::min(std::max(full - squeeze, kMinimumPopupWidth), full),
                                  group.popupButton->height());
    }
    layoutGroups();
    setUpdatesEnabled(true);
    update();
    m_lastWidth = barWidth;
}

void MGScopeBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_accessoryView)
        m_accessoryView->move(width() - (m_accessoryView->width() + 8),
                              (kBarHeight - m_accessoryView->height()) / 2);
    adjustSubviews();
}

void MGScopeBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(0, height(), 0, 0);
    gradient.setColorAt(0, QColor::fromRgbF(0.85, 0.85, 0.85));
    gradient.setColorAt(1, QColor::fromRgbF(0.93, 0.93, 0.93));
    painter.fillRect(rect(), gradient);
    painter.fillRect(QRect(0, height() - 1, width(), 1), QColor::fromRgbF(0.69, 0.69, 0.69));
    for (const auto& position : m_separatorPositions)
        if (position)
            painter.fillRect(QRect(*position, (height() - 16) / 2, 1, 16),
                             QColor::fromRgbF(0.52, 0.52, 0.52));
}
