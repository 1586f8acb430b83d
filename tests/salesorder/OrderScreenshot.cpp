// Renders the order window on the demo order offscreen to the PNG file ORVANE_SCREENSHOT names,
// 1366 x 768 unless ORVANE_SCREENSHOT_SIZE says otherwise, in the interface language
// ORVANE_SCREENSHOT_LANG names (CHS, CHT or ENG; the demo dictionary's), for the README
// (scripts/screenshot.sh runs it; it is not part of the test runs).
#include "salesorder/Tavi52CF.h"

#include "OrderLanguage.h"
#include "OrderWindowFixture.h"
#include "salesorder/Tavi52CD.h"

#include <QPixmap>

namespace orvane::test {
namespace {

class OrderScreenshot : public DocumentWindowTest {};

TEST_F(OrderScreenshot, DISABLED_RendersTheOrderWindowOnTheDemoOrder)
{
    const char* file = std::getenv("ORVANE_SCREENSHOT");
    ASSERT_NE(file, nullptr) << "ORVANE_SCREENSHOT names the PNG file to write";
    // ORVANE_SCREENSHOT_SIZE ("1920x1080") renders another size than the README's.
    const QStringList size = qEnvironmentVariable("ORVANE_SCREENSHOT_SIZE", QStringLiteral("1366x768")).split(u'x');
    ASSERT_EQ(size.size(), 2) << "a size is WIDTHxHEIGHT";
    if (const char* language = std::getenv("ORVANE_SCREENSHOT_LANG"); language != nullptr && *language != 0)
        useInterfaceLanguage(folder_, language);
    WindowPtr<OrderTestWindow> form = started<OrderTestWindow>();
    form->resize(size[0].toInt(), size[1].toInt());
    QTest::qWait(200);
    ASSERT_FALSE(form->orderModule()->cdsBody1.isEmpty()) << "an order with lines";
    ASSERT_TRUE(form->grab().save(QString::fromLocal8Bit(file), "PNG"));
}

} // namespace
} // namespace orvane::test
