// Demonstration documents of the document store: the picture of the shipping marks of
// customers C001 and C002, found by their front-mark texts, and the product sheet of item
// A100 (INVMB.MB026).
#include "platform/text/Base64.h"
#include "server/schema/SeedTable.h"

namespace orvane {

namespace {

// mark-c001.jpg: a 64 x 40 grayscale JPEG of a diamond mark (767 bytes), in base64.
constexpr const char* markPicture =
    "/9j/4AAQSkZJRgABAQAAAQABAAD/2wBDABALDA4MChAODQ4SERATGCgaGBYWGDEjJR0oOjM9PDkzODdASFxOQERXRTc4UG1R"
    "V19iZ2hnPk1xeXBkeFxlZ2P/wAALCAAoAEABAREA/8QAGAABAQEBAQAAAAAAAAAAAAAABgACBAf/xAAtEAABAgUCBgECBwAA"
    "AAAAAAABAhEAAwQFIQYxEhMUFTJBUVKBIiczNDZC8P/aAAgBAQAAPwD0CKOW43GktdKamunpkygQlyCXJ9ADJ+0HV1F61Ski"
    "3mZaLaeEiomJInzMO6QD47ZfPyciJFRetLJAuBmXe2jiJqJaSZ8vDuoE+O+Xx8jAhFbrjSXSlFTQz0zpRJS4BDEeiDkfeOqK"
    "KDdTqdVZUGi05I66pCwlc9ST08oOXKlDfYs2D6J2OrTpcSqpNxvNSq43EEKStb8EncskbYJJGMYYCEUUHbtpcTapVxs1Sq3X"
    "EkqUtD8E72yhtkgE4zlwYzTanVR1AotRyOhqSspRPSk9PNDhilR23DvgeyNgkgPqfuncZffP47zRzOk+HPDzP7fS7Y2bLQos"
    "na+3I7NyOlx+j8sPL3xMzvn5iv3cezz+0fvvw8vx+oP5Y2feB/5h/wC6eL8w/wDdPDCw9x7PI7v++/FzPH6i3jjZtor32vty"
    "+88jpc/rfLHx98TOzZ+IL6Y7p3GZ2P8AjvNPL6v4ccXL/t9TPjd8vDiDdTphVHUGt05P6GpKwpchSj080OXCkjbcs2B6A3Gr"
    "TqgTapNuvNMq3XEkJShb8E7cOk7ZIIGc4YmEUUHbtqgSqpVus1Mq43EEpUhD8En06jtgkA5xlyIzTaYVWVArdRz+uqQsqRIS"
    "o9PKDhglJ32Dvg+wdykiijluNupLpSmmrpCZ0okKYkhiPYIyPtB1dPetLJJt4mXe2jhAp5iiZ8vDMkgeO2Gx8DJiRT3rVKQb"
    "gJlotp4gaeWoifMwzKJHjvhs/BwYRW63UlrpRTUMhMmUCVMCS5Psk5P3jqij/9k=";

constexpr const char* productSheet = "A100 LED台灯 12W 白色\n"
                                     "额定功率 12W, 色温 4000K, 输入 AC 220V 50Hz\n"
                                     "每箱 20 台, 毛重 0.5 公斤\n";

} // namespace

std::vector<SeedTable> demoStoreData()
{
    return {
        {"DMS",
         {"DOC_KEY", "FILE_NAME", "DOC_REF", "DOC_NOTE"},
         {{"华东贸易 SHANGHAI", "mark-c001.jpg", "MARK-C001-M01", "华东贸易唛头图片"},
          {"PACIFIC HK", "mark-c001.jpg", "MARK-C001-M01", "Pacific 唛头图片 (与华东贸易同图)"},
          {"A100-sheet.txt", "A100-sheet.txt", "DOC-A100", "LED台灯产品说明"}}},
        {"DMS_CONTENT",
         {"DOC_REF", "FILE_NAME", "CONTENT"},
         {{"MARK-C001-M01", "mark-c001.jpg", markPicture},
          {"DOC-A100", "A100-sheet.txt", text::toBase64(productSheet)}}},
    };
}

} // namespace orvane
