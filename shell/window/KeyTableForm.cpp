#include "shell/window/KeyTableForm.h"

#include <QAction>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const char* const kTitle = "键盘快捷键";
// Keys the controls have of themselves, listed with the window's own.
const struct {
    const char* keyName;
    const char* action;
} kControlKeys[] = {
    {"Alt+字母", "按下标签中带下划线字母的按钮，例如 Alt+R 录音、Alt+H 提示"},
    {"Enter", "在听写框中：检查所写的句子"},
    {"Tab", "移到下一个控件"},
};

}  // namespace

KeyTableForm::KeyTableForm(const QVector<QAction*>& keys, QWidget* parent) : QDialog(parent)
{
    setObjectName("KeyTableForm");
    setWindowTitle(kTitle);
    auto* table = new QTableWidget(int(keys.size() + std::size(kControlKeys)), 2, this);
    table->setObjectName("keyTable");
    table->setHorizontalHeaderLabels({"按键", "作用"});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    int row = 0;
    const auto add = [table, &row](const QString& keyName, const QString& action) {
        table->setItem(row, 0, new QTableWidgetItem(keyName));
        table->setItem(row, 1, new QTableWidgetItem(action));
        ++row;
    };
    for (const QAction* key : keys)
        add(key->property("keyName").toString(), key->text());
    for (const auto& key : kControlKeys)
        add(key.keyName, key.action);
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    resize(table->horizontalHeader()->length() + 60, table->verticalHeader()->length() + 90);
}
