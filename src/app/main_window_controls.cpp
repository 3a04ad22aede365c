// The child controls of the main window: created from the control table,
// plus the scroll bars, the simulation bar, the watch-list box and the
// setting board's fields of the picking page.
#include <QButtonGroup>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "app/main_window.h"
#include "data/paths.h"
#include "screen/picking_page.h"

namespace app {
namespace {

using screen::ControlId;

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

}  // namespace

// ---- controls -------------------------------------------------------------------

void CMainDlg::CreateControls() {
    auto* themes = new QButtonGroup(this);
    auto* adjustments = new QButtonGroup(this);
    for (const screen::ControlSpec& control : screen::kControlSpecs) {
        QWidget* widget = CreateControl(control, themes, adjustments);
        widget->setGeometry(control.x, control.y, control.width, control.height);
        widget->setFont(QtCanvas::FontFor(*ui::FindFont(12)));
        m_controls[control.id] = widget;
    }
    CreateScrollBars();
    CreateSimulationBar();
    CreateWatchList();
    CreateBoardFields();
}

// Hidden until a board places them: whole parts take six digits, fractions two.
void CMainDlg::CreateBoardFields() {
    for (int k = 0; k < screen::kBoardFieldCount; ++k) {
        const ControlId id = screen::BoardFieldId(static_cast<size_t>(k / 2), k % 2 == 1);
        auto* edit = new QLineEdit(this);
        edit->setMaxLength(k % 2 ? 2 : 6);
        edit->setFont(QtCanvas::FontFor(*ui::FindFont(12)));
        edit->hide();
        m_controls[id] = edit;
    }
}

// Two rows per stock, eighteen rows to the box: a page of nine stocks.
void CMainDlg::CreateWatchList() {
    m_watchList = new QListWidget(this);
    const screen::ControlPlace& place = screen::kWatchListPlace;
    m_watchList->setGeometry(place.x, place.y, place.width, place.height);
    m_watchList->setFont(QtCanvas::FontFor(*ui::FindFont(12)));
    m_watchList->setUniformItemSizes(true);
    m_watchList->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_watchList->setFocusPolicy(Qt::NoFocus);  // the code box keeps the keys
    connect(m_watchList, &QListWidget::itemDoubleClicked, this,
            [this] { Run([](auto& c) { c.DoubleClick(ControlId::WatchList); }); });
    m_controls[ControlId::WatchList] = m_watchList;
}

QWidget* CMainDlg::CreateControl(const screen::ControlSpec& control, QButtonGroup* themes,
                                 QButtonGroup* adjustments) {
    const ControlId id = control.id;
    switch (control.kind) {
        case screen::ControlKind::Button: {
            auto* button = new QPushButton(Utf8(control.caption), this);
            button->setFocusPolicy(Qt::NoFocus);  // the code box keeps the keys
            connect(button, &QPushButton::clicked, this, [this, id] { Run([id](auto& c) { c.Button(id); }); });
            return button;
        }
        case screen::ControlKind::BitmapButton: {
            auto* button = new QPushButton(this);
            const auto picture = id == ControlId::Exit ? screen::kExitButtonPicture : screen::kDataButtonPicture;
            QPixmap pixmap(Utf8(data::BuildDataPaths(m_dataRoot).root) + Utf8(picture));
            if (pixmap.isNull()) {
                button->setText(Utf8(control.caption));
            } else {
                button->setIcon(pixmap);
                button->setIconSize(pixmap.size());
            }
            if (id == ControlId::Exit) connect(button, &QPushButton::clicked, this, &CMainDlg::reject);
            else connect(button, &QPushButton::clicked, this, [this, id] { Run([id](auto& c) { c.Button(id); }); });
            return button;
        }
        case screen::ControlKind::Radio: {
            auto* radio = new QRadioButton(Utf8(control.caption), this);
            radio->setFocusPolicy(Qt::NoFocus);
            // The documented rectangles were measured for a smaller circle
            // and gap: with Qt's own the last character is cut.
            radio->setStyleSheet(QStringLiteral(
                "QRadioButton { spacing: 2px; padding: 0px; }"
                "QRadioButton::indicator { width: 11px; height: 11px; }"));
            (control.group == screen::RadioGroup::Theme ? themes : adjustments)->addButton(radio, screen::IdNumber(id));
            connect(radio, &QRadioButton::clicked, this, [this, id] { Run([id](auto& c) { c.Radio(id); }); });
            return radio;
        }
        case screen::ControlKind::Edit: {
            auto* edit = new QLineEdit(Utf8(control.caption), this);
            edit->setMaxLength(control.maxLength);
            if (id == ControlId::CodeBox) {
                connect(edit, &QLineEdit::textEdited, this, [this](const QString& text) {
                    Run([&](auto& c) { c.CodeTyped(text.toStdString()); });
                });
                edit->installEventFilter(this);
            }
            return edit;
        }
        case screen::ControlKind::Progress: {
            auto* bar = new QProgressBar(this);
            bar->setTextVisible(false);
            return bar;
        }
    }
    return new QWidget(this);
}

void CMainDlg::CreateScrollBars() {
    for (ControlId id : screen::kScrollBarIds) {
        auto* bar = new QScrollBar(Qt::Vertical, this);
        bar->hide();  // shown by the lists that use them
        m_scrollBars[id] = bar;
    }
    for (const screen::ControlPlace& place : {screen::kRankScrollPlace, screen::kMemberScrollPlace}) {
        QScrollBar* bar = m_scrollBars[place.id];
        bar->setGeometry(place.x, place.y, place.width, place.height);
        const ControlId id = place.id;
        connect(bar, &QScrollBar::valueChanged, this,
                [this, id](int value) { Run([&](auto& c) { c.Scrolled(id, value); }); });
    }
}

// The simulation bar sits in the line under the chart buttons, where the
// ranking's title goes when no simulation is on.
void CMainDlg::CreateSimulationBar() {
    auto button = [this](const char* name, const QString& caption, int x, int width) {
        auto* b = new QPushButton(caption, this);
        b->setGeometry(x, 410, width, 18);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFont(QtCanvas::FontFor(*ui::FindFont(12)));
        m_simulationControls[name] = b;
        return b;
    };
    connect(button("enter", QStringLiteral("进入模拟"), 150, 60), &QPushButton::clicked, this,
            [this] { Run([](auto& c) { c.EnterSimulationMode(); }); });
    auto* edit = new QLineEdit(this);
    edit->setGeometry(300, 410, 66, 18);
    edit->setMaxLength(8);
    edit->setFont(QtCanvas::FontFor(*ui::FindFont(12)));
    m_simulationControls["date"] = edit;
    connect(button("confirm", QStringLiteral("确定"), 368, 32), &QPushButton::clicked, this,
            [this, edit] { Run([&](auto& c) { c.ConfirmSimulation(edit->text().toStdString()); }); });
    const struct {
        const char* name;
        int step;
        int x;
        int width;
    } steps[] = {{"-10", -10, 402, 26}, {"-1", -1, 430, 22}, {"+1", 1, 454, 22}, {"+10", 10, 478, 26}};
    for (const auto& s : steps) {
        const int step = s.step;
        connect(button(s.name, QString::fromUtf8(s.name), s.x, s.width), &QPushButton::clicked, this,
                [this, step] { Run([&](auto& c) { c.StepSimulation(step); }); });
    }
    connect(button("exit", QStringLiteral("退出模拟"), 506, 60), &QPushButton::clicked, this,
            [this] { Run([](auto& c) { c.ExitSimulationMode(); }); });
    ShowSimulationControls(false, "");
}

void CMainDlg::ApplyStartupControlValues() {
    static_cast<QRadioButton*>(Control(ControlId::ClassicTheme))->setChecked(true);
    static_cast<QRadioButton*>(Control(ControlId::RawPrices))->setChecked(true);
    for (auto& [id, bar] : m_scrollBars) {
        bar->setRange(0, screen::kScrollBarMaximum);
        bar->setPageStep(screen::kScrollBarPage);
        bar->setValue(0);
    }
    auto* progress = static_cast<QProgressBar*>(Control(ControlId::Progress));
    progress->setRange(0, screen::kProgressMaximum);
    progress->setValue(0);
    progress->setStyleSheet(QStringLiteral(
        "QProgressBar { border: 1px solid #808080; background: white; }"
        "QProgressBar::chunk { background-color: rgb(0, 0, 230); }"));
}

}  // namespace app
