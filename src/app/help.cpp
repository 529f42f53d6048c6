#include "app/help.h"

#include "contact/contact.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace tavrin::app {

// The translation context of the guide and the about box.
struct Help {
    Q_DECLARE_TR_FUNCTIONS(tavrin::app::Help)
};

QString guideHtml() {
    return Help::tr(
        "<h3>Tavrin 使用指南</h3>"
        "<p><b>编排内容。</b>在编辑框中输入文字，从列表中选择字体，用滑块或“大”“小”按钮设定字号（6–28 号）。"
        "上方的画面一个像素对应一个LED点；文字放不下时，编辑框下方会提示“已超出显示！”。"
        "“加载图片”改为显示一幅 BMP、JPG、GIF 或 PNG 图片（文件 → 打开图片，Ctrl+Shift+O）。"
        "箭头按钮（或 Alt+方向键）把文字或图片移动一点。</p>"
        "<p><b>选择串口和LED数量。</b>在“选择串口号：”中选择电路板所接的串口，也可以直接输入设备路径，如 "
        "/dev/ttyUSB0。LED数量在“电路板 → LED数量”菜单中选择（Ctrl+1 至 Ctrl+4），"
        "也可以在窗口下方区域选择（查看 → 显示LED数量与内容代码区，F4）。</p>"
        "<p><b>写入。</b>先让电路板进入更改内容模式：让它停止转动，不要让它被同步，等待约 10 秒。"
        "然后按“写入新内容”（F5）。画面被扫描成内容代码，以 9600 波特发送到电路板；"
        "内容代码同时显示在窗口下方的代码框中，点击代码框（或 Ctrl+Shift+C）即可复制。</p>"
        "<p><b>擦除。</b>“擦除旧内容”（Shift+F5）让电路板清除写入的内容；出厂的内置广告无法擦除。</p>"
        "<p><b>导出HEX文件。</b>写入一次之后，“文件 → 获取HEX文件”（Ctrl+E）把固件和当前内容一起保存为 "
        "Intel HEX 文件，供自行组装的电路板烧录。选择固件时，每种固件的接线（LED 接哪些引脚、"
        "传感器接法、单片机型号）显示在列表下方；源代码的 firmware/README.md 有完整的接线说明。</p>"
        "<p><b>工程。</b>“文件 → 保存工程”（Ctrl+S）把文字、字体、字号、位置、图片及其点阵设置、LED数量等保存为 "
        ".tavrin 工程文件，以后用“文件 → 打开工程”（Ctrl+O）或“最近的工程”打开，内容不变。"
        "“编辑 → 撤销”（Ctrl+Z）和“重做”（Ctrl+Shift+Z 或 Ctrl+Y）逐步撤销或恢复对内容的每一次修改。"
        "“文件 → 检查HEX或代码文件”在板上预览中显示 HEX 文件将在电路板上显示的内容，烧录之前可以先检查。</p>"
        "<p><b>键盘。</b>Tab 和 Shift+Tab 在控件之间移动，Enter 或空格按下当前按钮，Esc 关闭对话框。"
        "菜单中的每个命令都写有快捷键。</p>");
}

void showGuide(QWidget *parent) {
    QDialog dialog(parent);
    dialog.setObjectName(u"guide"_s);
    dialog.setWindowTitle(Help::tr("Tavrin 使用指南"));
    auto *text = new QTextBrowser(&dialog);
    text->setHtml(guideHtml());
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(text);
    layout->addWidget(buttons);
    dialog.resize(560, 460);
    dialog.exec();
}

QString aboutHtml(const QStringList &contact) {
    auto field = [&contact](contact::ContactField index) {
        return contact::contactField(contact, index).toHtmlEscaped();
    };
    return Help::tr("<h3>Tavrin %1</h3>"
                    "<p>为旋转LED点阵板编排显示内容，通过串口写入电路板，或导出带内容的HEX固件。</p>"
                    "<p>Tavrin 是自由软件：你可以按 GNU 通用公共许可证第 3 版或（由你选择）任何更新的版本"
                    "（GPL-3.0-or-later）重新发布和修改它。Tavrin 不提供任何担保。许可证全文见 "
                    "<a href=\"https://www.gnu.org/licenses/gpl-3.0.html\">gnu.org/licenses/gpl-3.0.html</a>。"
                    "</p>"
                    "<p>Tavrin 使用 Qt %2，Qt 以 GNU LGPL 第 3 版授权。</p>")
               .arg(QCoreApplication::applicationVersion().toHtmlEscaped(), QString::fromLatin1(qVersion())) +
           Help::tr("<p>厂商：%1<br>网站：%2<br>电话：%3<br>产品页面：%4</p>")
               .arg(field(contact::VendorName), field(contact::WebAddress), field(contact::Telephones),
                    field(contact::ProductPage));
}

void showAbout(QWidget *parent, const QStringList &contact) {
    QMessageBox::about(parent, Help::tr("关于 Tavrin"), aboutHtml(contact));
}

} // namespace tavrin::app
