#include "NBMenuHeadings.h"

#include <QAction>
#include <QMenu>
#include <vector>

#include "NBInterfaceRules.h"

QAction* NBAddHeadingItem(QMenu& menu, const QString& title) {
    QAction* heading =
        menu.addAction(QString(title).replace(QLatin1Char('&'), QStringLiteral("&&")));
    heading->setEnabled(false);
    heading->setData(kHeadingItemTag);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    return heading;
}

bool NBIsHeadingItem(const QAction& item) {
    return !item.isSeparator() && item.data().toInt() == kHeadingItemTag;
}

void NBIndentItemsUnderHeadings(QMenu& menu) {
    std::vector<NBMenuItemModel> models;
    std::vector<QAction*> items;
    for (QAction* item : menu.actions()) {
        if (item->isSeparator()) continue;
        NBMenuItemModel model;
        model.tag = NBIsHeadingItem(*item) ? kHeadingItemTag : 0;
        models.push_back(model);
        items.push_back(item);
    }
    indentItemsUnderHeadings(models);
    // Qt's menus have no indentation of their own: the title moves right by spaces.
    for (size_t i = 0; i < items.size(); ++i)
        if (models[i].indentationLevel > 0)
            items[i]->setText(QString(models[i].indentationLevel * 3, QLatin1Char(' ')) +
                              items[i]->text());
}

QString NBMenuTitleWithMnemonic(const QString& title, QChar letter) {
    QString escaped = title;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    for (int at = 0; at < escaped.size(); ++at) {
        if (escaped.at(at) == QLatin1Char('&')) {
            ++at;  // an escaped "&&"
            continue;
        }
        if (escaped.at(at).toLower() == letter.toLower()) {
            escaped.insert(at, QLatin1Char('&'));
            break;
        }
    }
    return escaped;
}
