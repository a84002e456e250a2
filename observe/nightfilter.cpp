// SPDX-License-Identifier: GPL-2.0-or-later
#include "observe/nightfilter.h"

namespace observe
{

namespace
{
// A point reads above this value and the filter is applied.
constexpr int threshold = 250;

constexpr QRgb opaque = 0xff000000;
constexpr QRgb redPart = 0x00ff0000;
}

int modProcesses::colourValue(QRgb pixel)
{
    return qRed(pixel) + 256 * qGreen(pixel) + 65536 * qBlue(pixel);
}

int modProcesses::edgescan(const QImage &image)
{
    if (image.isNull())
        return 0;
    const QImage rgb = image.format() == QImage::Format_RGB32 ? image : image.convertToFormat(QImage::Format_RGB32);
    int applications = 0;
    for (int y = 0; y < rgb.height(); ++y) {
        const QRgb pixel = reinterpret_cast<const QRgb *>(rgb.constScanLine(y))[0];
        if (applications == 0) {
            if (colourValue(pixel) <= threshold)
                continue;
            // Inverted and cleared to red, the point reads 255 - R: above the
            // threshold again where R was below 5, when it is read next.
            applications = qRed(pixel) < 255 - threshold ? 2 : 1;
            continue;
        }
        // Once filtered, the column holds red alone: 255 - R after an odd
        // number of applications, R after an even one. Past the threshold the
        // next application brings the point below 5, where it stays.
        const int red = applications % 2 ? 255 - qRed(pixel) : qRed(pixel);
        if (red > threshold)
            ++applications;
    }
    return applications;
}

void modProcesses::nightfilter(QImage &image, int applications)
{
    if (image.format() != QImage::Format_RGB32)
        image.convertTo(QImage::Format_RGB32);
    if (applications <= 0 || image.isNull())
        return;
    // An odd count leaves the inverted red part, an even one the red part as it was.
    const QRgb flip = applications % 2 ? redPart : 0;
    const auto filtered = [flip](QRgb pixel) { return opaque | ((pixel ^ flip) & redPart); };
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        int x = 0;
        // Eight pixels at a time, which the compiler turns into vector
        // instructions: a large chart takes no longer than inverting it.
        for (; x + 8 <= width; x += 8) {
            for (int i = 0; i < 8; ++i)
                line[x + i] = filtered(line[x + i]);
        }
        for (; x < width; ++x)
            line[x] = filtered(line[x]);
    }
}

} // namespace observe
