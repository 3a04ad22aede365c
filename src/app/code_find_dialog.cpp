#include "app/code_find_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/qt_canvas.h"
#include "base/gbk.h"
#include "ui/fonts.h"

namespace app {

CCodeFindDlg::CCodeFindDlg(const data::CodeTable& table, const std::string& initialText,
                           base::Prompter& prompter, QWidget* parent)
    : QDialog(parent), m_table(table), m_prompter(prompter) {
    setWindowTitle(QString::fromUtf8(data::kFinderCaption.data(),
                                     static_cast<int>(data::kFinderCaption.size())));
    setFixedSize(180, 246);
    const QFont font = QtCanvas::FontFor(*ui::FindFont(12));
    setFont(font);
    auto* hint1 = new QLabel(QStringLiteral("请输入股票"), this);
    hint1->setGeometry(8, 6, 80, 14);
    auto* hint2 = new QLabel(QStringLiteral("代码或简拼"), this);
    hint2->setGeometry(8, 22, 80, 14);
    m_edit = new QLineEdit(this);
    m_edit->setGeometry(92, 10, 78, 22);
    m_edit->setMaxLength(static_cast<int>(data::kFinderEditMaxChars));
    m_list = new QListWidget(this);
    m_list->setGeometry(8, 40, 164, 14 * 12 + 6);  // 14 visible lines
    m_list->setUniformItemSizes(true);
    auto* ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setGeometry(14, 218, 66, 22);
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setGeometry(100, 218, 66, 22);
    connect(ok, &QPushButton::clicked, this, &CCodeFindDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CCodeFindDlg::reject);
    connect(m_edit, &QLineEdit::textChanged, this, [this] { Refill(); });
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this] { TakeLine(data::FinderTrigger::DoubleClick); });

    m_edit->setText(QString::fromStdString(data::FinderInitialText(initialText)));
    Refill();
    m_edit->setCursorPosition(m_edit->text().size());
    m_edit->setFocus();
}

void CCodeFindDlg::Refill() {
    const std::string typed = m_edit->text().toStdString();
    m_lines = data::FillFinderList(m_table, typed);
    m_list->clear();
    for (const std::string& line : m_lines)
        m_list->addItem(QString::fromStdString(base::GbkToUtf8(line)));
}

void CCodeFindDlg::TakeLine(data::FinderTrigger trigger) {
    const int top = m_list->count() > 0 ? m_list->row(m_list->itemAt(2, 2)) : 0;
    const auto choice = data::TakeFinderLine(m_lines, m_list->currentRow(), top < 0 ? 0 : top, trigger);
    switch (choice.kind) {
        case data::FinderChoice::Kind::StayOpen:
            return;
        case data::FinderChoice::Kind::ShowMessage:
            m_prompter.ShowMessage(std::string(data::kFinderPickFirstMessage), "");
            return;
        case data::FinderChoice::Kind::Taken:
            m_code = choice.code;
            m_indicator = choice.indicator;
            QDialog::accept();
            return;
    }
}

void CCodeFindDlg::accept() { TakeLine(data::FinderTrigger::OkOrEnter); }

void CCodeFindDlg::reject() {
    m_code = 0;
    m_indicator = 0;
    QDialog::reject();
}

}  // namespace app
