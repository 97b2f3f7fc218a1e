#pragma once

class QPagedPaintDevice;
class QTextDocument;

// Prints a rich-text document on a printer or a PDF writer: laid out as on a
// 96 dpi screen and scaled to the device, so pixel margins and point sizes keep
// their proportions, with half-inch margins and the page number at the foot.
namespace DocumentPrint {

// False when the device could not be opened or finished with an error.
bool print(const QTextDocument &document, QPagedPaintDevice *device);

} // namespace DocumentPrint
