#include "fonts.hpp"

#include <QFont>
#include <QStringList>

namespace scene {

QFont ClassicFont(const char* family, double points, bool bold) {
    static const bool registered = [] {
        QFont::insertSubstitutions("MS Sans Serif",
                                   {"Microsoft Sans Serif", "Liberation Sans", "Arimo", "Helvetica",
                                    "DejaVu Sans Condensed"});
        QFont::insertSubstitutions(
            "Arial", {"Liberation Sans", "Arimo", "Helvetica", "DejaVu Sans Condensed"});
        return true;
    }();
    (void)registered;
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

}  // namespace scene
