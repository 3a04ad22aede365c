#include "app/qt_prompter.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace app {

void QtPrompter::ShowMessage(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool QtPrompter::AskYesNo(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

std::optional<std::string> QtPrompter::ChooseFile(const std::string& pattern) {
    // "XG/*.TXT": start in the folder, filter by the name pattern.
    QFileInfo info(QString::fromStdString(pattern));
    QString file = QFileDialog::getOpenFileName(m_parent, QString(), info.path(),
                                                info.fileName() + ";;*");
    if (file.isEmpty()) return std::nullopt;
    return file.toStdString();
}

}  // namespace app
