#include "app/About.h"

#include <QLabel>
#include <QPixmap>
#include <algorithm>
#include <utility>

#include "app/Artwork.h"
#include "app/Button.h"
#include "app/Commands.h"
#include "app/WebLinks.h"
#include "platform/ui/Controls.h"
#include "workspace/DeviceTypes.h"
#include "workspace/Workspace.h"

namespace app {

namespace {
// The software's own version of each model and the code of its manual.
struct VersionLine {
    int type;
    const char* version;
    const char* documentCode;
};
constexpr VersionLine kVersions[] = {
    {0, "1.702", "GM30113"},  {1, "1.509", "GM30102"},  {2, "1.301", "GM30114"},  {3, "1.405", "GM30115"},
    {4, "1.103", "GM30116"},  {6, "1.203", "GM30117"},  {7, "1.201", "GM30118"},  {8, "1.002", "GM30119"},
    {9, "1.302", "GM30120"},  {10, "1.000", "GM30121"}, {11, "1.001", "GM30122"}, {12, "1.004", "GM30123"},
    {13, "1.000", "GM30124"}, {14, "1.000", "GM30125"}, {15, "1.000", "GM30126"}, {16, "1.009", "GM30132"},
    {17, "1.302", "GM30127"}, {18, "1.003", "GM30112"}, {19, "1.201", "GM30107"}, {20, "2.001", "GM30133"},
    {21, "1.005", "GM30104"}, {1001, "1.102", "GM30128"}, {1002, "1.001", "GM30130"},
    {1003, "1.001", "GM30129"}, {2016, "1.009", "GM30134"},
};
} // namespace

AboutInfo aboutInfo(int32_t deviceType)
{
    AboutInfo info;
    for (const VersionLine& v : kVersions) {
        if (v.type != deviceType)
            continue;
        const workspace::StepLayout l = workspace::layoutFor(deviceType);
        info.known = l.known;
        info.description = l.SW_Desc;
        info.swCode = l.SW_Code;
        info.version = QLatin1String(v.version);
        info.documentCode = QLatin1String(v.documentCode);
    }
    return info;
}

TFAbout::TFAbout(QWidget* parent) : platform::Form(parent)
{
    setObjectName(QStringLiteral("FAbout"));
    setWindowTitle(QStringLiteral("About"));
    const QFont normal = platform::uiFont(QStringLiteral("Verdana"), 8);
    const QFont bold = platform::uiFont(QStringLiteral("Verdana"), 8, true);
    setFont(normal);
    platform::setBackgroundColor(this, QColor(255, 255, 255));

    Image2 = new platform::LinkLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setGeometry(8, 8, 120, 48);
    I_Quendal = new platform::LinkLabel(this);
    I_Quendal->setObjectName(QStringLiteral("I_Quendal"));
    I_Quendal->setGeometry(8, 8, 120, 48);

    Label1 = platform::addLabel(this, QStringLiteral("Label1"), 140, 8, bold);
    platform::setLabelText(Label1, QStringLiteral("Software Varnetor "));
    Label2 = platform::addLabel(this, QStringLiteral("Label2"), 140, 26, bold);
    // The longer model descriptions do not fit on one line beside the logo.
    Label2->setWordWrap(true);
    Label6 = platform::addLabel(this, QStringLiteral("Label6"), 140, 50, normal);
    platform::setLabelText(Label6, QStringLiteral("Software Code : "));
    Label9 = platform::addLabel(this, QStringLiteral("Label9"), 250, 50, bold);
    Label3 = platform::addLabel(this, QStringLiteral("Label3"), 140, 68, normal);
    platform::setLabelText(Label3, QStringLiteral("Version :"));
    Label10 = platform::addLabel(this, QStringLiteral("Label10"), 250, 68, bold);
    Label8 = platform::addLabel(this, QStringLiteral("Label8"), 140, 86, normal);
    platform::setLabelText(Label8, QStringLiteral("Document Code :"));
    Label12 = platform::addLabel(this, QStringLiteral("Label12"), 250, 86, bold);

    Label4 = new platform::LinkLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setFont(normal);
    Label4->move(8, 64);
    platform::setLabelText(Label4, QStringLiteral("www.ostrelcorp.com"));

    for (platform::LinkLabel* l : {Label4, Image2, I_Quendal})
        connect(l, &platform::LinkLabel::clicked, this, [this] { Label4Click(); });

    FxButton1 = addButton(this, QStringLiteral("FxButton1"), 316, 112, 82, 28);
    FxButton1->setCaption(QStringLiteral("OK"));
    FxButton1->setModalResult(platform::mrOk);
    setClientSize(406, 148);
}

void TFAbout::buildControls()
{
    // The logos are drawn text: only showing needs them.
    Image2->setPixmap(QPixmap::fromImage(artwork::makerLogo()));
    I_Quendal->setPixmap(QPixmap::fromImage(artwork::partnerLogo()));
}

void TFAbout::FormShow()
{
    I_Quendal->hide();
    Image2->show();
    Label4->show();
    const int type = workspace::ws().Converter_Type;
    const AboutInfo info = aboutInfo(type);
    if (info.known) {
        platform::setLabelText(Label2, info.description);
        platform::setLabelText(Label9, info.swCode);
        platform::setLabelText(Label10, info.version);
        platform::setLabelText(Label12, info.documentCode);
    }
    if (type == 2016) {
        I_Quendal->show();
        Image2->hide();
        Label4->hide();
    }
    setClientSize(406, 148);
    placeRows();
}

// The description wraps within the window; the three rows below it follow its last line.
void TFAbout::placeRows()
{
    constexpr int kLeft = 140;
    constexpr int kValueLeft = 250;
    constexpr int kRight = 8;
    constexpr int kFirstRowTop = 50;
    constexpr int kRowPitch = 18;
    const int width = 406 - kLeft - kRight;
    Label2->setGeometry(kLeft, Label2->y(), width, Label2->heightForWidth(width));
    int top = std::max(kFirstRowTop, Label2->y() + Label2->height() + 6);
    for (const auto& [caption, value] : {std::pair{Label6, Label9}, {Label3, Label10}, {Label8, Label12}}) {
        caption->move(kLeft, top);
        value->move(kValueLeft, top);
        top += kRowPitch;
    }
}

void TFAbout::Label4Click()
{
    openWebPage(makerPageUrl(workspace::ws().Converter_Type));
}

} // namespace app
