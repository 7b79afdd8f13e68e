#include "platform/qt/MenuBarBuilder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace MenuBarBuilder {

namespace {

const std::string kSeparator = "----------";

QString fromProgram(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

QString titleText(const std::string& item)
{
    QString title = fromProgram(item);
    if (title.endsWith(QLatin1String(" |")))
        title.chop(2);
    else if (title.endsWith(QLatin1Char('|')))
        title.chop(1);
    title = title.trimmed();
    if (!title.contains(QLatin1Char('&')) && !title.isEmpty())
        title.prepend(QLatin1Char('&'));
    return title;
}

void build(QMenuBar& bar, const std::vector<std::string>& items, std::function<void(int)> onChoice)
{
    bar.clear();
    const int count = static_cast<int>(items.size());
    int position = 0;
    while (position < count && !items[position].empty()) {
        QMenu* menu = bar.addMenu(titleText(items[position]));
        ++position;
        for (; position < count && !items[position].empty(); ++position) {
            if (items[position] == kSeparator) {
                menu->addSeparator();
                continue;
            }
            QAction* action = menu->addAction(fromProgram(items[position]));
            const int index = position;
            QObject::connect(action, &QAction::triggered, action, [onChoice, index] { onChoice(index); });
        }
        ++position;   // the "" that ends this title's entries
    }
}

} // namespace MenuBarBuilder
