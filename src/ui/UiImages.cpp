#include "UiImages.h"

// The resources live in a static library: nothing would pull them into the
// program unless they are registered by hand.
static void registerImages()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(images);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace UiImages {

QIcon applicationIcon()
{
    registerImages();
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/images/icon/%1.png").arg(size), QSize(size, size));
    return icon;
}

QPixmap arrow()
{
    registerImages();
    return QPixmap(QStringLiteral(":/images/arrow.png"));
}

QPixmap aboutFrame(int index)
{
    registerImages();
    return QPixmap(QStringLiteral(":/images/about%1.png").arg(index));
}

}  // namespace UiImages
