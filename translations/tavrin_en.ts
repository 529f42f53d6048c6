<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>tavrin::app::BoardPreview</name>
    <message>
        <source>板上预览</source>
        <translation>Board preview</translation>
    </message>
    <message>
        <source>亮点视图：写入后板上点亮的点</source>
        <translation>Lit dots: what the board lights after the write</translation>
    </message>
    <message>
        <source> 像素/点</source>
        <translation> px per dot</translation>
    </message>
    <message>
        <source>适合高度</source>
        <translation>Fit to height</translation>
    </message>
    <message>
        <source>缩放（Ctrl+滚轮）：</source>
        <translation>Zoom (Ctrl+wheel):</translation>
    </message>
    <message>
        <source>图片转为点阵</source>
        <translation>Picture into dots</translation>
    </message>
    <message>
        <source>旋转预览</source>
        <translation>Spinning preview</translation>
    </message>
    <message>
        <source>通用：串口写入的板子</source>
        <translation>Generic: a board written over the serial port</translation>
    </message>
    <message>
        <source> 毫秒</source>
        <translation> ms</translation>
    </message>
    <message>
        <source>最上面的灯在外圈</source>
        <translation>Top LED at the rim</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>从第一圈开始</source>
        <translation>From the first revolution</translation>
    </message>
    <message>
        <source>固件：</source>
        <translation>Firmware:</translation>
    </message>
    <message>
        <source>每圈列数：</source>
        <translation>Columns per revolution:</translation>
    </message>
    <message>
        <source>每圈移动列数：</source>
        <translation>Step per revolution:</translation>
    </message>
    <message>
        <source>转速（转/分）：</source>
        <translation>Speed (rpm):</translation>
    </message>
    <message>
        <source>视觉暂留：</source>
        <translation>Persistence:</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>第 %1 圈</source>
        <translation>Revolution %1</translation>
    </message>
    <message>
        <source>%1 号固件驱动 %2 个 LED，当前内容是 %3 个 LED 的：按通用模型显示。</source>
        <translation>Firmware %1 drives %2 LEDs and the content is for %3: shown with the generic model.</translation>
    </message>
    <message>
        <source>返回画面</source>
        <translation>Back to the Canvas</translation>
    </message>
    <message>
        <source>正在检查文件“%1”。</source>
        <translation>Checking the file “%1”.</translation>
    </message>
    <message>
        <source>正在检查文件“%1”。%2</source>
        <translation>Checking the file “%1”. %2</translation>
    </message>
</context>
<context>
    <name>tavrin::app::DotControls</name>
    <message>
        <source>原图（红色 ≥ 129 点亮）</source>
        <translation>As it is (lit where red ≥ 129)</translation>
    </message>
    <message>
        <source>阈值</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>有序抖动</source>
        <translation>Ordered dithering</translation>
    </message>
    <message>
        <source>误差扩散（Floyd–Steinberg）</source>
        <translation>Error diffusion (Floyd–Steinberg)</translation>
    </message>
    <message>
        <source>反相</source>
        <translation>Invert</translation>
    </message>
    <message>
        <source>亮度阈值：</source>
        <translation>Brightness threshold:</translation>
    </message>
</context>
<context>
    <name>tavrin::app::Form1</name>
    <message>
        <source>按“写入新内容”后，内容代码显示在这里；点击即可复制。</source>
        <translation>The content code appears here after &quot;Write content&quot;; click it to copy it.</translation>
    </message>
    <message>
        <source>内容代码（点击复制）：</source>
        <translation>Content code (click to copy):</translation>
    </message>
    <message>
        <source>电路板所接的串口；也可以输入设备路径，如 /dev/ttyUSB0</source>
        <translation>The serial port the board is connected to; a device path such as /dev/ttyUSB0 can be typed too</translation>
    </message>
    <message>
        <source>关闭图片</source>
        <translation>Close picture</translation>
    </message>
    <message>
        <source>打开图片</source>
        <translation>Open picture</translation>
    </message>
    <message>
        <source>All Files(*.*)|*|BMP Files(*.bmp)|*.bmp|JPG Files(*.jpg)|*.jpg;*.jpeg|GIF Files(*.gif)|*.gif|PNG Files(*.png)|*.png|所有图片|*.bmp;*.jpg;*.jpeg;*.gif;*.png</source>
        <translation>All Files(*.*)|*|BMP Files(*.bmp)|*.bmp|JPG Files(*.jpg)|*.jpg;*.jpeg|GIF Files(*.gif)|*.gif|PNG Files(*.png)|*.png|All Pictures|*.bmp;*.jpg;*.jpeg;*.gif;*.png</translation>
    </message>
    <message>
        <source>正在生成数据 请稍候……</source>
        <translation>Generating the data, please wait…</translation>
    </message>
    <message>
        <source>&#x3000;&#x3000;已发出擦除命令！如点阵仍然显示原内容，请检查串口号、连接线！<byte value="xd"/><byte value="xd"/>注意：出厂的内置广告是无法擦除的，擦除成功后会显示内置广告！</source>
        <translation>The erase command has been sent! If the matrix still shows the old content, check the port number and the cable!<byte value="xd"/><byte value="xd"/>Note: the built-in advertisement from the factory cannot be erased; after a successful erase the board shows it.</translation>
    </message>
    <message>
        <source>写数据已经完成！如不能显示新内容，请检查串口号、连接线！</source>
        <translation>Writing has finished! If the new content does not show, check the port number and the cable!</translation>
    </message>
    <message>
        <source>还没有内容代码：请先按“写入新内容”生成。</source>
        <translation>There is no content code yet: press &quot;Write content&quot; first to make it.</translation>
    </message>
    <message>
        <source>本代码已经成功复制到剪贴板！</source>
        <translation>The code has been copied to the clipboard!</translation>
    </message>
    <message>
        <source>所选的 %1 号固件驱动 %2 个LED，而内容代码是按 %3 个LED生成的，电路板显示的内容会不正确。

仍要导出吗？选“否”重新选择固件。</source>
        <translation>Firmware No. %1 drives %2 LEDs, but the content code was made for %3 LEDs: the board will not show it correctly.

Export anyway? Choose &quot;No&quot; to pick the firmware again.</translation>
    </message>
    <message>
        <source>HEX 机器码 Files (*.hex)|*.hex|All Files(*.*)|*</source>
        <translation>HEX Machine Code Files (*.hex)|*.hex|All Files(*.*)|*</translation>
    </message>
    <message>
        <source>无法保存HEX文件“%1”：%2</source>
        <translation>Cannot save the HEX file &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>无法打开产品页面“%1”：只能打开 http 或 https 网址。</source>
        <translation>Cannot open the product page &quot;%1&quot;: only http and https addresses are opened.</translation>
    </message>
    <message>
        <source>无法打开产品页面“%1”：这不是有效的网址。</source>
        <translation>Cannot open the product page &quot;%1&quot;: it is not a valid web address.</translation>
    </message>
    <message>
        <source>无法打开产品页面“%1”：没有可用的网页浏览器。</source>
        <translation>Cannot open the product page &quot;%1&quot;: no web browser is available.</translation>
    </message>
    <message>
        <source>Tavrin！%1  TEL:%2</source>
        <translation>Tavrin! %1  TEL:%2</translation>
    </message>
    <message>
        <source>编辑文字，设定字体样式、大小：</source>
        <translation>Edit the text, set font and size:</translation>
    </message>
    <message>
        <source>点击编辑修改文字内容，可以保存！</source>
        <translation>Click to edit the text the board shows</translation>
    </message>
    <message>
        <source>上</source>
        <translation>↑</translation>
    </message>
    <message>
        <source>下</source>
        <translation>↓</translation>
    </message>
    <message>
        <source>左</source>
        <translation>←</translation>
    </message>
    <message>
        <source>右</source>
        <translation>→</translation>
    </message>
    <message>
        <source>大</source>
        <translation>+</translation>
    </message>
    <message>
        <source>小</source>
        <translation>−</translation>
    </message>
    <message>
        <source>加载图片</source>
        <translation>Load picture</translation>
    </message>
    <message>
        <source>使用帮助</source>
        <translation>Usage help</translation>
    </message>
    <message>
        <source>擦除旧内容</source>
        <translation>Erase content</translation>
    </message>
    <message>
        <source>写入新内容</source>
        <translation>Write content</translation>
    </message>
    <message>
        <source>选择串口号：</source>
        <translation>Port:</translation>
    </message>
    <message>
        <source>选择旋转点阵的LED数量：</source>
        <translation>LED count of the rotating matrix:</translation>
    </message>
    <message>
        <source>电路原理图已在本站公开，有套件出售，自行组装的用户可获取HEX文件！</source>
        <translation>The schematic is on our web site and kits are sold; self-builders can get the HEX file!</translation>
    </message>
    <message>
        <source>获取HEX文件</source>
        <translation>Get HEX file</translation>
    </message>
    <message>
        <source>查看产品详情</source>
        <translation>Product details</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>如果代码内容较长，请耐心等候……</source>
        <translation>If the code is long, please be patient…</translation>
    </message>
    <message>
        <source>当前%1字，%2号字尺寸%3*%4！（最大尺寸%5*%6）</source>
        <translation>%1 characters, size %2: %3*%4 (at most %5*%6)</translation>
    </message>
    <message>
        <source>已超出显示！</source>
        <translation> Too large to show!</translation>
    </message>
    <message>
        <source>联系方式中没有产品页面的地址。</source>
        <translation>The contact details give no product page address.</translation>
    </message>
    <message>
        <source>已停止发送：%1 个字节中只有 %2 个送到了电路板，电路板上的内容不完整。请重新写入新内容，或擦除旧内容。</source>
        <translation>Sending stopped: only %2 of %1 bytes reached the board, so its content is incomplete. Write new content again, or erase the old content.</translation>
    </message>
    <message>
        <source>正在发送数据，请稍候……</source>
        <translation>Sending the data, please wait…</translation>
    </message>
    <message>
        <source>板上预览…</source>
        <translation>Board preview…</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>图片点阵设置</source>
        <translation>Picture Dots</translation>
    </message>
    <message>
        <source>输入文字</source>
        <translation>Typing</translation>
    </message>
    <message>
        <source>更改字体</source>
        <translation>Change Font</translation>
    </message>
    <message>
        <source>更改字号</source>
        <translation>Change Size</translation>
    </message>
    <message>
        <source>更改LED数量</source>
        <translation>Change LED Count</translation>
    </message>
    <message>
        <source>上移</source>
        <translation>Move Up</translation>
    </message>
    <message>
        <source>下移</source>
        <translation>Move Down</translation>
    </message>
    <message>
        <source>左移</source>
        <translation>Move Left</translation>
    </message>
    <message>
        <source>右移</source>
        <translation>Move Right</translation>
    </message>
    <message>
        <source>放大</source>
        <translation>Bigger</translation>
    </message>
    <message>
        <source>缩小</source>
        <translation>Smaller</translation>
    </message>
    <message>
        <source>%1 号固件。</source>
        <translation>Firmware %1.</translation>
    </message>
    <message>
        <source>HEX 文件“%1”中没有内容：没有可显示的列。</source>
        <translation>The HEX file “%1” holds no content: there are no columns to show.</translation>
    </message>
    <message>
        <source>拖动</source>
        <translation>Drag</translation>
    </message>
    <message>
        <source>图片设置</source>
        <translation>Picture Settings</translation>
    </message>
    <message>
        <source>镜像</source>
        <translation>Mirror</translation>
    </message>
</context>
<context>
    <name>tavrin::app::Help</name>
    <message>
        <source>Tavrin 使用指南</source>
        <translation>Tavrin Guide</translation>
    </message>
    <message>
        <source>&lt;p&gt;厂商：%1&lt;br&gt;网站：%2&lt;br&gt;电话：%3&lt;br&gt;产品页面：%4&lt;/p&gt;</source>
        <translation>&lt;p&gt;Vendor: %1&lt;br&gt;Web site: %2&lt;br&gt;Telephone: %3&lt;br&gt;Product page: %4&lt;/p&gt;</translation>
    </message>
    <message>
        <source>关于 Tavrin</source>
        <translation>About Tavrin</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Tavrin 使用指南&lt;/h3&gt;&lt;p&gt;&lt;b&gt;编排内容。&lt;/b&gt;在编辑框中输入文字，从列表中选择字体，用滑块或“大”“小”按钮设定字号（6–28 号）。上方的画面一个像素对应一个LED点；文字放不下时，编辑框下方会提示“已超出显示！”。“加载图片”改为显示一幅 BMP、JPG、GIF 或 PNG 图片（文件 → 打开图片，Ctrl+Shift+O）。箭头按钮（或 Alt+方向键）把文字或图片移动一点。&lt;/p&gt;&lt;p&gt;&lt;b&gt;选择串口和LED数量。&lt;/b&gt;在“选择串口号：”中选择电路板所接的串口，也可以直接输入设备路径，如 /dev/ttyUSB0。LED数量在“电路板 → LED数量”菜单中选择（Ctrl+1 至 Ctrl+4），也可以在窗口下方区域选择（查看 → 显示LED数量与内容代码区，F4）。&lt;/p&gt;&lt;p&gt;&lt;b&gt;写入。&lt;/b&gt;先让电路板进入更改内容模式：让它停止转动，不要让它被同步，等待约 10 秒。然后按“写入新内容”（F5）。画面被扫描成内容代码，以 9600 波特发送到电路板；内容代码同时显示在窗口下方的代码框中，点击代码框（或 Ctrl+Shift+C）即可复制。&lt;/p&gt;&lt;p&gt;&lt;b&gt;擦除。&lt;/b&gt;“擦除旧内容”（Shift+F5）让电路板清除写入的内容；出厂的内置广告无法擦除。&lt;/p&gt;&lt;p&gt;&lt;b&gt;导出HEX文件。&lt;/b&gt;写入一次之后，“文件 → 获取HEX文件”（Ctrl+E）把固件和当前内容一起保存为 Intel HEX 文件，供自行组装的电路板烧录。选择固件时，每种固件的接线（LED 接哪些引脚、传感器接法、单片机型号）显示在列表下方；源代码的 firmware/README.md 有完整的接线说明。&lt;/p&gt;&lt;p&gt;&lt;b&gt;工程。&lt;/b&gt;“文件 → 保存工程”（Ctrl+S）把文字、字体、字号、位置、图片及其点阵设置、LED数量等保存为 .tavrin 工程文件，以后用“文件 → 打开工程”（Ctrl+O）或“最近的工程”打开，内容不变。“编辑 → 撤销”（Ctrl+Z）和“重做”（Ctrl+Shift+Z 或 Ctrl+Y）逐步撤销或恢复对内容的每一次修改。“文件 → 检查HEX或代码文件”在板上预览中显示 HEX 文件将在电路板上显示的内容，烧录之前可以先检查。&lt;/p&gt;&lt;p&gt;&lt;b&gt;键盘。&lt;/b&gt;Tab 和 Shift+Tab 在控件之间移动，Enter 或空格按下当前按钮，Esc 关闭对话框。菜单中的每个命令都写有快捷键。&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Tavrin Guide&lt;/h3&gt;&lt;p&gt;&lt;b&gt;Compose.&lt;/b&gt; Type the text into the edit box, pick a font from the list and set the size (6–28 pt) with the slider or the &quot;+&quot; and &quot;−&quot; buttons. The canvas above shows one pixel per LED dot; when the text does not fit, the line under the edit box says so. &quot;Load picture&quot; shows a BMP, JPG, GIF or PNG picture instead (File → Open Picture, Ctrl+Shift+O). The arrow buttons (or Alt+arrow keys) move the text or the picture by one dot.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Port and LED count.&lt;/b&gt; Choose the serial port the board is connected to under &quot;Port:&quot;, or type a device path such as /dev/ttyUSB0. Choose the LED count in the Board → LED Count menu (Ctrl+1 to Ctrl+4), or below the window&apos;s design area (View → Show LED Count and Content Code Area, F4).&lt;/p&gt;&lt;p&gt;&lt;b&gt;Write.&lt;/b&gt; First put the board into its content-change mode: stop it turning, do not let it synchronise, and wait about 10 seconds. Then press &quot;Write content&quot; (F5). The canvas is scanned into the content code and sent to the board at 9600 baud; the code also appears in the code box at the bottom of the window, and a click on it (or Ctrl+Shift+C) copies it.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Erase.&lt;/b&gt; &quot;Erase content&quot; (Shift+F5) makes the board clear what was written; the factory&apos;s built-in advertisement cannot be erased.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Export a HEX file.&lt;/b&gt; After a write, File → Get HEX File (Ctrl+E) saves the firmware with the current content as an Intel HEX file, for flashing a board you built yourself. When you choose the firmware, its wiring (which pins the LEDs use, the sensor, the chip) is shown under the list; firmware/README.md in the source has the full wiring.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Projects.&lt;/b&gt; File → Save Project (Ctrl+S) keeps the text, font, size and position, the picture with its dot settings, the LED count and more in a .tavrin project file; File → Open Project (Ctrl+O) or Open Recent opens it again as it was. Edit → Undo (Ctrl+Z) and Redo (Ctrl+Shift+Z or Ctrl+Y) take back or redo every change to the content, one step at a time. File → Check HEX or Code File shows in the board preview what a HEX file will show on the board, so that it can be checked before flashing.&lt;/p&gt;&lt;p&gt;&lt;b&gt;Keyboard.&lt;/b&gt; Tab and Shift+Tab move between the controls, Enter or Space presses the focused button, Esc closes a dialog. Every menu command shows its shortcut.&lt;/p&gt;</translation>
    </message>
    <message>
        <source>&lt;h3&gt;Tavrin %1&lt;/h3&gt;&lt;p&gt;为旋转LED点阵板编排显示内容，通过串口写入电路板，或导出带内容的HEX固件。&lt;/p&gt;&lt;p&gt;Tavrin 是自由软件：你可以按 GNU 通用公共许可证第 3 版或（由你选择）任何更新的版本（GPL-3.0-or-later）重新发布和修改它。Tavrin 不提供任何担保。许可证全文见 &lt;a href=&quot;https://www.gnu.org/licenses/gpl-3.0.html&quot;&gt;gnu.org/licenses/gpl-3.0.html&lt;/a&gt;。&lt;/p&gt;&lt;p&gt;Tavrin 使用 Qt %2，Qt 以 GNU LGPL 第 3 版授权。&lt;/p&gt;</source>
        <translation>&lt;h3&gt;Tavrin %1&lt;/h3&gt;&lt;p&gt;Composes what a rotating LED matrix board shows and writes it to the board over a serial port, or exports HEX firmware with the content built in.&lt;/p&gt;&lt;p&gt;Tavrin is free software: you can redistribute it and/or modify it under the terms of the GNU General Public License, version 3 or (at your option) any later version (GPL-3.0-or-later). Tavrin comes with NO WARRANTY. The licence&apos;s full text is at &lt;a href=&quot;https://www.gnu.org/licenses/gpl-3.0.html&quot;&gt;gnu.org/licenses/gpl-3.0.html&lt;/a&gt;.&lt;/p&gt;&lt;p&gt;Tavrin uses Qt %2, which is licensed under the GNU LGPL version 3.&lt;/p&gt;</translation>
    </message>
</context>
<context>
    <name>tavrin::app::LedCountList</name>
    <message>
        <source>%1%2象素</source>
        <translation>%1 %2 LEDs</translation>
    </message>
</context>
<context>
    <name>tavrin::app::MainWindow</name>
    <message>
        <source>打开图片(&amp;O)…</source>
        <translation>&amp;Open Picture…</translation>
    </message>
    <message>
        <source>关闭图片(&amp;C)</source>
        <translation>&amp;Close Picture</translation>
    </message>
    <message>
        <source>获取HEX文件(&amp;H)…</source>
        <translation>Get &amp;HEX File…</translation>
    </message>
    <message>
        <source>退出(&amp;Q)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>复制内容代码(&amp;C)</source>
        <translation>&amp;Copy Content Code</translation>
    </message>
    <message>
        <source>上移一点(&amp;U)</source>
        <translation>Move &amp;Up One Dot</translation>
    </message>
    <message>
        <source>下移一点(&amp;D)</source>
        <translation>Move &amp;Down One Dot</translation>
    </message>
    <message>
        <source>左移一点(&amp;L)</source>
        <translation>Move &amp;Left One Dot</translation>
    </message>
    <message>
        <source>右移一点(&amp;R)</source>
        <translation>Move &amp;Right One Dot</translation>
    </message>
    <message>
        <source>放大(&amp;B)</source>
        <translation>&amp;Bigger</translation>
    </message>
    <message>
        <source>缩小(&amp;S)</source>
        <translation>&amp;Smaller</translation>
    </message>
    <message>
        <source>写入新内容(&amp;W)</source>
        <translation>&amp;Write Content</translation>
    </message>
    <message>
        <source>擦除旧内容(&amp;E)</source>
        <translation>&amp;Erase Content</translation>
    </message>
    <message>
        <source>显示LED数量与内容代码区(&amp;A)</source>
        <translation>Show LED Count and Content Code &amp;Area</translation>
    </message>
    <message>
        <source>跟随系统</source>
        <translation>As the System</translation>
    </message>
    <message>
        <source>使用指南(&amp;G)</source>
        <translation>Tavrin &amp;Guide</translation>
    </message>
    <message>
        <source>使用帮助(&amp;U)</source>
        <translation>&amp;Usage Help</translation>
    </message>
    <message>
        <source>查看产品详情(&amp;P)</source>
        <translation>&amp;Product Details</translation>
    </message>
    <message>
        <source>关于 Tavrin(&amp;A)</source>
        <translation>&amp;About Tavrin</translation>
    </message>
    <message>
        <source>关于 Qt</source>
        <translation>About &amp;Qt</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>画面(&amp;C)</source>
        <translation>&amp;Canvas</translation>
    </message>
    <message>
        <source>电路板(&amp;B)</source>
        <translation>&amp;Board</translation>
    </message>
    <message>
        <source>LED数量(&amp;L)</source>
        <translation>&amp;LED Count</translation>
    </message>
    <message>
        <source>查看(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>语言(&amp;L)（重新启动后生效）</source>
        <translation>&amp;Language (applies after a restart)</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>新建工程(&amp;N)</source>
        <translation>&amp;New Project</translation>
    </message>
    <message>
        <source>打开工程(&amp;J)…</source>
        <translation>Open Pro&amp;ject…</translation>
    </message>
    <message>
        <source>保存工程(&amp;S)</source>
        <translation>&amp;Save Project</translation>
    </message>
    <message>
        <source>工程另存为(&amp;A)…</source>
        <translation>Save Project &amp;As…</translation>
    </message>
    <message>
        <source>检查HEX或代码文件(&amp;K)…</source>
        <translation>Chec&amp;k HEX or Code File…</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>最近的工程(&amp;R)</source>
        <translation>Open &amp;Recent</translation>
    </message>
    <message>
        <source>%1（已修改）</source>
        <translation>%1 (modified)</translation>
    </message>
    <message>
        <source>HEX 机器码 Files (*.hex)|*.hex|内容代码(*.txt)|*.txt|All Files(*.*)|*</source>
        <translation>HEX Files (*.hex)|*.hex|Content Code (*.txt)|*.txt|All Files(*.*)|*</translation>
    </message>
    <message>
        <source>写入测试图案(&amp;T)</source>
        <translation>Write &amp;Test Pattern</translation>
    </message>
    <message>
        <source>写入方向测试图案，看板子是否需要镜像；画面上的内容不变</source>
        <translation>Writes the orientation test pattern, to see whether the board needs a mirror; the canvas keeps its content</translation>
    </message>
    <message>
        <source>图片设置(&amp;P)…</source>
        <translation>&amp;Picture Settings…</translation>
    </message>
    <message>
        <source>左右镜像(&amp;M)</source>
        <translation>&amp;Mirror Left–Right</translation>
    </message>
    <message>
        <source>上下颠倒(&amp;I)</source>
        <translation>Upside Dow&amp;n</translation>
    </message>
    <message>
        <source>图片高 %1 点，板子只有 %2 个LED，只能显示上面的 %2 行。</source>
        <translation>The picture is %1 dots tall and the board has %2 LEDs: only its top %2 rows show.</translation>
    </message>
    <message>
        <source>调整图片…</source>
        <translation>Adjust the Picture…</translation>
    </message>
    <message>
        <source>缩放、裁剪、旋转图片；选好的大小也用于以后打开的图片</source>
        <translation>Scale, crop or turn the picture; the size chosen also applies to pictures opened later</translation>
    </message>
    <message>
        <source>不再提示这幅图片</source>
        <translation>No more offers for this picture</translation>
    </message>
</context>
<context>
    <name>tavrin::app::PictureDialog</name>
    <message>
        <source>图片设置</source>
        <translation>Picture Settings</translation>
    </message>
    <message>
        <source>图片转为点阵</source>
        <translation>Picture into dots</translation>
    </message>
    <message>
        <source>原样</source>
        <translation>As It Is</translation>
    </message>
    <message>
        <source>不裁剪、不旋转、不镜像、不缩放：图片原样放在画面左上角</source>
        <translation>No crop, turn, mirror or scaling: the picture as it is at the canvas&apos;s top-left corner</translation>
    </message>
    <message>
        <source>原图（用鼠标拖出裁剪区域）</source>
        <translation>Picture (drag with the mouse to crop)</translation>
    </message>
    <message>
        <source>还没有打开图片：这里的设置用于以后打开的图片。</source>
        <translation>No picture is open yet: these settings apply to pictures opened later.</translation>
    </message>
    <message>
        <source>动画图片（GIF）显示哪一帧</source>
        <translation>Which frame of an animated picture (GIF) to show</translation>
    </message>
    <message>
        <source>帧：</source>
        <translation>Frame:</translation>
    </message>
    <message>
        <source>裁剪（像素）</source>
        <translation>Crop (pixels)</translation>
    </message>
    <message>
        <source>左</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>上</source>
        <translation>Top</translation>
    </message>
    <message>
        <source>宽</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>高</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>自动裁去背景边距（四角的颜色或透明）</source>
        <translation>Cut away background margins (the corners&apos; colour or transparency)</translation>
    </message>
    <message>
        <source>不旋转</source>
        <translation>No turn</translation>
    </message>
    <message>
        <source>顺时针 90°</source>
        <translation>90° clockwise</translation>
    </message>
    <message>
        <source>180°</source>
        <translation>180°</translation>
    </message>
    <message>
        <source>顺时针 270°</source>
        <translation>270° clockwise</translation>
    </message>
    <message>
        <source>旋转：</source>
        <translation>Turn:</translation>
    </message>
    <message>
        <source>左右镜像</source>
        <translation>Mirror left–right</translation>
    </message>
    <message>
        <source>上下颠倒</source>
        <translation>Upside down</translation>
    </message>
    <message>
        <source>镜像：</source>
        <translation>Mirror:</translation>
    </message>
    <message>
        <source>原样（不缩放）</source>
        <translation>As it is (unscaled)</translation>
    </message>
    <message>
        <source>适合LED高度（保持比例）</source>
        <translation>Fit to the LED height (aspect kept)</translation>
    </message>
    <message>
        <source>放入画面（保持比例）</source>
        <translation>Fit inside the canvas (aspect kept)</translation>
    </message>
    <message>
        <source>拉伸到LED高度（宽度不变）</source>
        <translation>Stretch to the LED height (width kept)</translation>
    </message>
    <message>
        <source>按比例缩放</source>
        <translation>Scale by percent</translation>
    </message>
    <message>
        <source>大小：</source>
        <translation>Size:</translation>
    </message>
    <message>
        <source>圆形图片（画成旋转一圈的样子）</source>
        <translation>Round picture (drawn as one revolution shows it)</translation>
    </message>
    <message>
        <source>通用：串口写入的板子</source>
        <translation>Generic: a board written over the serial port</translation>
    </message>
    <message>
        <source>最上面的灯在内圈</source>
        <translation>Top LED at the hub</translation>
    </message>
    <message>
        <source>只在这个转速下显示正确：转得快，图会被挤窄；转得慢，会留出空隙。</source>
        <translation>Right only at this speed: faster squeezes the picture, slower leaves a gap.</translation>
    </message>
    <message>
        <source>板子：</source>
        <translation>Board:</translation>
    </message>
    <message>
        <source>转速（转/分）：</source>
        <translation>Speed (rpm):</translation>
    </message>
    <message>
        <source>每圈列数：</source>
        <translation>Columns per revolution:</translation>
    </message>
    <message>
        <source>板上点亮的点（%1 个LED）</source>
        <translation>Lit dots on the board (%1 LEDs)</translation>
    </message>
    <message>
        <source>处理后 %1×%2 点；画面 %3×%4 点。</source>
        <translation>Prepared: %1 × %2 dots; canvas: %3 × %4 dots.</translation>
    </message>
</context>
<context>
    <name>tavrin::app::ProjectDocument</name>
    <message>
        <source>未命名工程</source>
        <translation>Untitled Project</translation>
    </message>
    <message>
        <source>工程“%1”有未保存的修改。要保存吗？</source>
        <translation>The project “%1” has unsaved changes. Do you want to save them?</translation>
    </message>
    <message>
        <source>Tavrin 工程(*.tavrin)|*.tavrin|All Files(*.*)|*</source>
        <translation>Tavrin Projects(*.tavrin)|*.tavrin|All Files(*.*)|*</translation>
    </message>
    <message>
        <source>这台电脑没有工程所用的字体“%1”，现在用最接近的“%2”显示。内容代码可能与原来不同。</source>
        <translation>This computer does not have the project&apos;s font “%1”; the nearest face, “%2”, is used instead. The content code may differ from the original&apos;s.</translation>
    </message>
    <message>
        <source>Tavrin 工程(*.tavrin)|*.tavrin</source>
        <translation>Tavrin Projects(*.tavrin)|*.tavrin</translation>
    </message>
</context>
<context>
    <name>tavrin::app::Reasons</name>
    <message>
        <source>“%1”</source>
        <translation>“%1”</translation>
    </message>
    <message>
        <source>“%1”（%2）</source>
        <translation>“%1” (%2)</translation>
    </message>
    <message>
        <source>没有选择串口，请先选择串口号。</source>
        <translation>No serial port is chosen. Please choose a port first.</translation>
    </message>
    <message>
        <source>“%1”不是有效的串口号，请选择或输入如“COM 1”的串口号。</source>
        <translation>“%1” is not a valid port. Please choose or type a port such as “COM 1”.</translation>
    </message>
    <message>
        <source>找不到串口“%1”：本机没有第 %2 号串口。</source>
        <translation>Cannot find port “%1”: this computer has no serial port number %2.</translation>
    </message>
    <message>
        <source>没有指定串口的设备。</source>
        <translation>No device was given for the serial port.</translation>
    </message>
    <message>
        <source>没有指定串口“%1”的设备。</source>
        <translation>No device was given for serial port “%1”.</translation>
    </message>
    <message>
        <source>无法打开串口%1：%2。</source>
        <translation>Cannot open serial port %1: %2.</translation>
    </message>
    <message>
        <source>向串口%1写数据失败，%2 个字节只送出了 %3 个：%4。</source>
        <translation>Writing to serial port %1 failed; only %3 of %2 bytes were sent: %4.</translation>
    </message>
    <message>
        <source>串口%1的数据没有全部送出，%2 个字节只送出了 %3 个：%4。</source>
        <translation>Not all data left serial port %1; only %3 of %2 bytes were sent: %4.</translation>
    </message>
    <message>
        <source>线路设置“%1”无效</source>
        <translation>the line settings “%1” are not valid</translation>
    </message>
    <message>
        <source>没有指定串口设备</source>
        <translation>no serial device was given</translation>
    </message>
    <message>
        <source>设备不存在</source>
        <translation>the device does not exist</translation>
    </message>
    <message>
        <source>没有权限，或串口正被其他程序使用</source>
        <translation>no permission, or another program is using the port</translation>
    </message>
    <message>
        <source>串口已经打开</source>
        <translation>the port is already open</translation>
    </message>
    <message>
        <source>不是串口设备，或不支持这样的设置</source>
        <translation>not a serial device, or it does not support these settings</translation>
    </message>
    <message>
        <source>设备已断开或出错</source>
        <translation>the device was disconnected or failed</translation>
    </message>
    <message>
        <source>写入出错</source>
        <translation>write error</translation>
    </message>
    <message>
        <source>超时</source>
        <translation>timed out</translation>
    </message>
    <message>
        <source>无法读取输出队列</source>
        <translation>cannot read the output queue</translation>
    </message>
    <message>
        <source>串口没有打开</source>
        <translation>the port is not open</translation>
    </message>
    <message>
        <source>%1 秒内设备没有接收数据</source>
        <translation>the device took no data for %1 seconds</translation>
    </message>
    <message>
        <source>出错</source>
        <translation>an error occurred</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>文件不存在。</source>
        <translation>the file does not exist.</translation>
    </message>
    <message>
        <source>不是普通文件。</source>
        <translation>it is not a regular file.</translation>
    </message>
    <message>
        <source>文件无法读取。</source>
        <translation>the file cannot be read.</translation>
    </message>
    <message>
        <source>图片尺寸 %1×%2 过大，无法处理。</source>
        <translation>the picture is %1 × %2 dots, too large to handle.</translation>
    </message>
    <message>
        <source>不是可识别的图片格式（BMP、JPG、GIF、PNG）。</source>
        <translation>not a picture format that can be read (BMP, JPG, GIF, PNG).</translation>
    </message>
    <message>
        <source>图片文件已损坏或不完整。</source>
        <translation>the picture file is damaged or incomplete.</translation>
    </message>
    <message>
        <source>无法加载图片“%1”：%2</source>
        <translation>Cannot load the picture “%1”: %2</translation>
    </message>
    <message>
        <source>文件不存在</source>
        <translation>the file does not exist</translation>
    </message>
    <message>
        <source>这是一个文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>这是管道或 FIFO，不是普通文件</source>
        <translation>it is a pipe or FIFO, not a regular file</translation>
    </message>
    <message>
        <source>这是设备，不是普通文件</source>
        <translation>it is a device, not a regular file</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>it is not a regular file</translation>
    </message>
    <message>
        <source>这是块设备，不会覆盖磁盘</source>
        <translation>it is a block device; a disk is not overwritten</translation>
    </message>
    <message>
        <source>文件大于 %1 字节</source>
        <translation>it is larger than %1 bytes</translation>
    </message>
    <message>
        <source>%1 秒内没有收到任何数据</source>
        <translation>nothing came through it for %1 s</translation>
    </message>
    <message>
        <source>没有程序在读取它</source>
        <translation>nothing is reading from it</translation>
    </message>
    <message>
        <source>它不再接收数据</source>
        <translation>it takes no more bytes</translation>
    </message>
    <message>
        <source>磁盘已满或文件过大</source>
        <translation>the disk is full or the file too large</translation>
    </message>
    <message>
        <source>还没有可导出的点阵数据。请先按“写入新内容”生成数据，再获取HEX文件。</source>
        <translation>There is no matrix data to export yet. Press &quot;Write content&quot; first to make it, then get the HEX file.</translation>
    </message>
    <message>
        <source>内容太长：数据从地址 %1 写到 %2，超出了 HEX 文件的 64 KB 地址范围（最高 FFFF）。请减少内容后再导出。</source>
        <translation>The content is too long: its data would run from address %1 to %2, past the 64 KB a HEX file addresses (up to FFFF). Shorten the content and export again.</translation>
    </message>
    <message>
        <source>内容太长：数据从地址 %1 写到 %2，而 %3 号固件的单片机只有 %4 字节程序存储器（最高地址 %5）。请减少内容，或选用程序存储器更大的型号。</source>
        <translation>The content is too long: its data would run from address %1 to %2, but the chip of firmware No. %3 has only %4 bytes of code memory (last address %5). Shorten the content or choose a chip with more code memory.</translation>
    </message>
    <message>
        <source>%1 秒内它没有接收任何数据</source>
        <translation>it took nothing for %1 s</translation>
    </message>
    <message>
        <source>没有使用该设备的权限</source>
        <translation>no permission to use the device</translation>
    </message>
    <message>
        <source>要使用它，用户需要加入设备的“%1”组：请运行 sudo usermod -aG %1 &quot;$USER&quot;，然后注销并重新登录（新加入的组从下次登录起才生效）</source>
        <translation>to use it, the user must join the device&apos;s group “%1”: run sudo usermod -aG %1 &quot;$USER&quot;, then log out and in again (the new group counts from the next login)</translation>
    </message>
    <message>
        <source>只有它的所有者“%1”可以使用它</source>
        <translation>only its owner “%1” may use it</translation>
    </message>
    <message>
        <source>串口正被其他程序使用</source>
        <translation>another program is using the port</translation>
    </message>
    <message>
        <source>%1（进程 %2）</source>
        <translation>%1 (process %2)</translation>
    </message>
    <message>
        <source>串口正被 %1 使用</source>
        <translation>the port is in use by %1</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>请关闭该程序后再试</source>
        <translation>close it and try again</translation>
    </message>
    <message>
        <source>%1；%2</source>
        <translation>%1; %2</translation>
    </message>
    <message>
        <source>，</source>
        <translation>, </translation>
    </message>
    <message>
        <source>USB 转串口 %1</source>
        <translation>USB serial adapter %1</translation>
    </message>
    <message>
        <source>USB 转串口 %1（%2）</source>
        <translation>USB serial adapter %1 (%2)</translation>
    </message>
    <message>
        <source>%1：%2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>没有找到串口。请检查电路板的 USB 转串口线是否插好、线是否完好，以及转接器的驱动是否已安装（装好后，设备管理器的“端口 (COM 和 LPT)”下会列出它）。</source>
        <translation>No serial port found. Check that the board&apos;s USB serial adapter is plugged in and its cable is sound, and that the adapter&apos;s driver is installed (Device Manager then lists it under “Ports (COM &amp; LPT)”).</translation>
    </message>
    <message>
        <source>没有找到串口。请检查电路板的 USB 转串口线是否插好、线是否完好，以及系统是否有转接器的驱动（有驱动时它显示为 /dev/ttyUSB0 或 /dev/ttyACM0；插入后 dmesg 会显示系统看到了什么）。</source>
        <translation>No serial port found. Check that the board&apos;s USB serial adapter is plugged in and its cable is sound, and that the system has a driver for it (it then shows as /dev/ttyUSB0 or /dev/ttyACM0; dmesg tells what the system saw when it was plugged in).</translation>
    </message>
    <message>
        <source>没有可以打开的串口：</source>
        <translation>No serial port can be opened:</translation>
    </message>
    <message>
        <source>%1（%2）：%3</source>
        <translation>%1 (%2): %3</translation>
    </message>
    <message>
        <source>文件无法读取（%1）。</source>
        <translation>The file cannot be read (%1).</translation>
    </message>
    <message>
        <source>文件大于 %1 MB，不是工程文件。</source>
        <translation>The file is larger than %1 MB: it is not a project.</translation>
    </message>
    <message>
        <source>文件已损坏，或不是工程文件（第 %1 字节处出错）。</source>
        <translation>The file is damaged or not a project (it goes wrong at byte %1).</translation>
    </message>
    <message>
        <source>不是 Tavrin 工程文件。</source>
        <translation>It is not a Tavrin project.</translation>
    </message>
    <message>
        <source>这是较新版本的 Tavrin 保存的工程（格式 %1），本程序只能打开格式 %2 及以前的工程。</source>
        <translation>It was saved by a newer Tavrin (project format %1); this one opens projects up to format %2.</translation>
    </message>
    <message>
        <source>工程中的“%1”类型不对或超出范围。</source>
        <translation>Its value “%1” is of the wrong type or out of range.</translation>
    </message>
    <message>
        <source>无法打开工程“%1”：%2</source>
        <translation>Cannot open the project “%1”: %2</translation>
    </message>
    <message>
        <source>无法保存工程“%1”：工程将大于 %2 MB，图片太大。原来的文件没有改变。</source>
        <translation>Cannot save the project “%1”: it would be larger than %2 MB, its picture is too large. The file that was there is unchanged.</translation>
    </message>
    <message>
        <source>无法保存工程“%1”（%2）。原来的文件没有改变。</source>
        <translation>Cannot save the project “%1” (%2). The file that was there is unchanged.</translation>
    </message>
    <message>
        <source>第 %1 行不以“:”开头。</source>
        <translation>Line %1 does not start with “:”.</translation>
    </message>
    <message>
        <source>第 %1 行不是记录：“:”后应有偶数个、至少 10 个十六进制数字。</source>
        <translation>Line %1 is not a record: it needs an even number of hex digits, at least 10, after “:”.</translation>
    </message>
    <message>
        <source>第 %1 行含有“%2”，不是十六进制数字。</source>
        <translation>Line %1 holds “%2”, which is not a hex digit.</translation>
    </message>
    <message>
        <source>第 %1 行声明 %2 个数据字节，实际有 %3 个。</source>
        <translation>Line %1 announces %2 data bytes but carries %3.</translation>
    </message>
    <message>
        <source>第 %1 行的校验和是 %2，按其字节应为 %3。</source>
        <translation>Line %1 has checksum %2, but its bytes give %3.</translation>
    </message>
    <message>
        <source>第 %1 行：第 %2 行的文件结束记录之后还有数据。</source>
        <translation>Line %1: data after the end-of-file record of line %2.</translation>
    </message>
    <message>
        <source>第 %1 行：文件结束记录带有数据。</source>
        <translation>Line %1: the end-of-file record carries data.</translation>
    </message>
    <message>
        <source>第 %1 行：不支持记录类型 %2，64 KB 映像只能有数据（00）和文件结束（01）记录。</source>
        <translation>Line %1: record type %2 is not supported; only data (00) and end-of-file (01) records belong in a 64 KB image.</translation>
    </message>
    <message>
        <source>第 %1 行：从 %2 开始的数据超出地址 FFFF。</source>
        <translation>Line %1: the data from %2 runs past address FFFF.</translation>
    </message>
    <message>
        <source>第 %1 行：地址 %2 的数据已经给出过。</source>
        <translation>Line %1: it overlaps data already given for address %2.</translation>
    </message>
    <message>
        <source>没有文件结束记录（:00000001FF）：文件不完整，或不是 HEX 文件。</source>
        <translation>There is no end-of-file record (:00000001FF): the file is cut short or not a HEX file.</translation>
    </message>
    <message>
        <source>%1 处的长度字是 %2，小于它给内容长度加上的 %3。</source>
        <translation>The length word at %1 is %2, less than the %3 it adds to the content length.</translation>
    </message>
    <message>
        <source>%1 处的长度字给出 %2 个内容字节，会超出地址 FFFF。</source>
        <translation>The length word at %1 gives %2 content bytes, which would run past address FFFF.</translation>
    </message>
    <message>
        <source>%1 处的长度字给出 %2 个内容字节，但从 %3 开始的数据到 %4 就结束了。</source>
        <translation>The length word at %1 gives %2 content bytes, but the data from %3 stops at %4.</translation>
    </message>
    <message>
        <source>无法读取 HEX 文件“%1”：%2</source>
        <translation>Cannot read the HEX file “%1”: %2</translation>
    </message>
    <message>
        <source>无法识别的固件：地址 0000 处没有复位记录。</source>
        <translation>Firmware not recognised: there is no reset record at address 0000.</translation>
    </message>
    <message>
        <source>无法识别的固件：复位记录（%1）不属于六种固件中的任何一种。</source>
        <translation>Firmware not recognised: its reset record (%1) is that of none of the six firmwares.</translation>
    </message>
    <message>
        <source>无法识别的固件：记录属于 %1 号固件，但缺少 %2 处的长度字。</source>
        <translation>Firmware not recognised: the records are those of firmware %1, but its length word at %2 is missing.</translation>
    </message>
    <message>
        <source>无法识别的固件：最接近 %1 号固件，但从地址 %2 起不同。</source>
        <translation>Firmware not recognised: closest is firmware %1, but it differs from address %2 on.</translation>
    </message>
    <message>
        <source>不是内容代码：其中只能有十六进制数字。</source>
        <translation>It is not a content code: only hex digits may be in it.</translation>
    </message>
    <message>
        <source>有 %1 个数字，多于最大画面的 %2 个。</source>
        <translation>It holds %1 digits, more than the largest canvas&apos;s %2.</translation>
    </message>
    <message>
        <source>内容代码是空的，没有可显示的列。</source>
        <translation>The content code is empty: there are no columns to show.</translation>
    </message>
    <message>
        <source>内容代码有 %1 个数字，不是 %3 灯每列 %2 个数字的整数列。</source>
        <translation>The content code has %1 digits, which is not a whole number of %2-digit columns for %3 LEDs.</translation>
    </message>
    <message>
        <source>内容代码有 %1 列，多于 %3 灯画面的 %2 列。</source>
        <translation>The content code has %1 columns, more than the %2 of a %3-LED canvas.</translation>
    </message>
    <message>
        <source>无法读取代码文件“%1”：%2</source>
        <translation>Cannot read the code file “%1”: %2</translation>
    </message>
    <message>
        <source>没有第 %1 帧：图片只有 %2 帧。</source>
        <translation>There is no frame %1: the picture has %2 frame(s).</translation>
    </message>
    <message>
        <source>裁剪区域（%1, %2, %3×%4）超出了图片（%5×%6 像素）。</source>
        <translation>The crop area (%1, %2, %3 × %4) reaches past the picture (%5 × %6 pixels).</translation>
    </message>
    <message>
        <source>裁剪区域是空的：宽和高至少要 1 个像素。</source>
        <translation>The crop area is empty: its width and height must be at least 1 pixel.</translation>
    </message>
    <message>
        <source>缩放比例至少要 1%。</source>
        <translation>The scale must be at least 1%.</translation>
    </message>
    <message>
        <source>处理后的图片将是 %1×%2 点，过大，无法处理。</source>
        <translation>The prepared picture would be %1 × %2 dots, too large to handle.</translation>
    </message>
    <message>
        <source>没有可以画圆形图片的板子。</source>
        <translation>There is no board to draw a round picture for.</translation>
    </message>
    <message>
        <source>工程只保存了图片“%1”的一帧。要换一帧，请重新打开图片文件。</source>
        <translation>The project keeps only one frame of the picture “%1”. To choose another frame, open the picture file again.</translation>
    </message>
</context>
<context>
    <name>tavrin::app::VariantDialog</name>
    <message>
        <source>获取HEX文件</source>
        <translation>Get HEX file</translation>
    </message>
    <message>
        <source>选择电路板所用的固件：</source>
        <translation>Choose the firmware your board runs:</translation>
    </message>
    <message>
        <source>%1 号：%2 灯</source>
        <translation>No. %1: %2 LEDs</translation>
    </message>
    <message>
        <source>%1 灯。</source>
        <translation>%1 LEDs.</translation>
    </message>
    <message>
        <source>%1（%2 KB），%3</source>
        <translation>%1 (%2 KB), %3</translation>
    </message>
</context>
<context>
    <name>tavrin::app::Variants</name>
    <message>
        <source>0 号：16 灯直接接 P1/P2，反向旋转</source>
        <translation>No. 0: 16 LEDs directly on P1/P2, turning backwards</translation>
    </message>
    <message>
        <source>1 号：16 灯直接接 P1/P2（P1.7 为最上灯）</source>
        <translation>No. 1: 16 LEDs directly on P1/P2 (P1.7 is the top LED)</translation>
    </message>
    <message>
        <source>2 号：16 灯，两片 74HC595 低电平点亮，按内容长度显示</source>
        <translation>No. 2: 16 LEDs, two 74HC595 lit by a low level, as long as the content</translation>
    </message>
    <message>
        <source>3 号：16 灯，74HC595 + ULN2803，按内容长度显示</source>
        <translation>No. 3: 16 LEDs, 74HC595 + ULN2803, as long as the content</translation>
    </message>
    <message>
        <source>22 号：16 灯，两片 74HC595 低电平点亮，整幅画面循环</source>
        <translation>No. 22: 16 LEDs, two 74HC595 lit by a low level, the whole canvas in a loop</translation>
    </message>
    <message>
        <source>33 号：16 灯，74HC595 + ULN2803，整幅画面循环</source>
        <translation>No. 33: 16 LEDs, 74HC595 + ULN2803, the whole canvas in a loop</translation>
    </message>
    <message>
        <source>16 灯：LED 1–8 接 P1.0–P1.7，9–16 接 P2.0–P2.7，低电平点亮，霍尔传感器接 P3.2。每圈 108 列，从右往左显示，每圈右移一列，适合反向旋转的板子。</source>
        <translation>16 LEDs: LED 1–8 on P1.0–P1.7, 9–16 on P2.0–P2.7, lit by a low level, hall sensor on P3.2. 108 columns a turn, shown right to left, moving one column right every turn; for boards that turn backwards.</translation>
    </message>
    <message>
        <source>16 灯：LED 1–8 接 P1.7–P1.0，9–16 接 P2.7–P2.0，低电平点亮，霍尔传感器接 P3.2。按 0200 处的设置每圈从左往右显示 108 列，每 4 圈右移一列。</source>
        <translation>16 LEDs: LED 1–8 on P1.7–P1.0, 9–16 on P2.7–P2.0, lit by a low level, hall sensor on P3.2. Shows 108 columns a turn from left to right as set at 0200, moving one column right every 4 turns.</translation>
    </message>
    <message>
        <source>16 灯接两片串联的 74HC595（P2.0 /OE，P2.1 数据，P2.2 移位时钟，P2.3 锁存），输出低电平点亮，每字节取反、高位先送；霍尔传感器接 P3.2。只显示内容长度以内的列。</source>
        <translation>16 LEDs on two chained 74HC595 (P2.0 /OE, P2.1 data, P2.2 shift clock, P2.3 latch), lit by a low output, each byte inverted and sent most significant bit first; hall sensor on P3.2. Shows only the columns within the content&apos;s length.</translation>
    </message>
    <message>
        <source>接法同 2 号，但 74HC595 经 ULN2803 驱动 LED，高电平点亮，每字节按位序 5、3、4、2、7、1、0、6 送出；霍尔传感器接 P3.2。只显示内容长度以内的列。</source>
        <translation>wired as No. 2 but the 74HC595 drive the LEDs through a ULN2803, lit by a high level, each byte sent in the bit order 5, 3, 4, 2, 7, 1, 0, 6; hall sensor on P3.2. Shows only the columns within the content&apos;s length.</translation>
    </message>
    <message>
        <source>接法同 2 号：两片 74HC595，低电平点亮，每字节取反、高位先送；霍尔传感器接 P3.2。不读长度，整幅 16 灯画面循环显示，传感器信号后空 1 列。</source>
        <translation>wired as No. 2: two 74HC595, lit by a low level, each byte inverted and sent most significant bit first; hall sensor on P3.2. Reads no length and loops the whole 16-LED canvas, one blank column after the sensor signal.</translation>
    </message>
    <message>
        <source>接法同 3 号：74HC595 经 ULN2803，高电平点亮，位序 5、3、4、2、7、1、0、6；霍尔传感器接 P3.2。不读长度，整幅 16 灯画面循环显示，传感器信号后空 8 列。</source>
        <translation>wired as No. 3: 74HC595 through a ULN2803, lit by a high level, bit order 5, 3, 4, 2, 7, 1, 0, 6; hall sensor on P3.2. Reads no length and loops the whole 16-LED canvas, 8 blank columns after the sensor signal.</translation>
    </message>
</context>
<context>
    <name>tavrin::contact</name>
    <message>
        <source>更改显示内容，请先让电路板进入更改内容模式，即不要转动电路板，特别是不能让电路板被同步，否则，需要重新等待10秒，电路板才会进入更改内容模式。电路板进入更改内容模式后，才可以更改和擦除内容。</source>
        <translation>To change what is shown, put the board into its content-change mode: do not turn it, and above all do not let it synchronise, or it takes another 10 seconds to enter that mode. Only then can content be written or erased.</translation>
    </message>
    <message>
        <source>Tavrin！ TEL:%1</source>
        <translation>Tavrin! TEL:%1</translation>
    </message>
    <message>
        <source>欢迎访问%1网站！%2，诚招全国各地代理！ </source>
        <translation>Welcome to the web site of %1! %2 - agents wanted everywhere! </translation>
    </message>
    <message>
        <source>%1欢迎您访问%2了解更新版本！</source>
        <translation>%1 invites you to visit %2 to learn about the new version!</translation>
    </message>
    <message>
        <source>软件更新提示：</source>
        <translation>Software update notice:</translation>
    </message>
</context>
</TS>
