#include "description/key_list.h"

#include <QStringList>
#include <utility>

namespace vesk {

QString plot_area_keys() {
  const std::pair<const char*, const char*> explore[] = {
      {"Arrows", "pan by a tenth of the view"}, {"+ or =, and -", "zoom in, zoom out about the middle"},
      {"Wheel, Ctrl+wheel, Shift+wheel", "zoom about the pointer: both axes, x alone, y alone"},
      {"Drag, Shift+drag", "pan; zoom to a box"}, {"F", "fit y to the curve over the x shown"},
      {"Home", "back to the range last plotted"}, {"Alt+Left, Alt+Right", "back and forward through the views"},
      {"N", "the grid's numbers on or off"}};
  const std::pair<const char*, const char*> study[] = {
      {"K", "the key points marked, and said"}, {"T", "trace on or off"},
      {"Left, Right (tracing)", "the marker a pixel column on"}, {"Shift+Left, Shift+Right (tracing)", "a sample on"},
      {"Ctrl+Left, Ctrl+Right (tracing)", "the previous, the next key point in view"},
      {"A digit or . (tracing), Ctrl+G", "go to an x typed"}, {"Escape", "trace off, sound off"}};
  const std::pair<const char*, const char*> hear[] = {{"H", "hear the curve, or stop it"}, {"Shift+H (tracing)", "hear it from the marker to the right edge"},
                                                        {"[, ]", "a sweep half, twice as long: 0.75 to 48 seconds, 3 at the start"},
                                                        {"R", "the quiet reference tone at y = 0, on or off"},
                                                        {"G", "a tick at each x grid line, on or off"}};
  const std::pair<const char*, const char*> files[] = {
      {"Alt+L, Alt+P", "plot by line, by point"}, {"Alt+S", "save the plot"}, {"Ctrl+C", "copy the picture"},
      {"Ctrl+Shift+C", "copy the values under the pointer or the marker"}, {"Menu key, Shift+F10", "this list's commands"},
      {"Alt+A", "about"}, {"F1", "these keys"}};
  QStringList lines;
  const auto group = [&lines](const char* title, const auto& keys) {
    lines << QString::fromUtf8(title);
    for (const auto& [key, what] : keys) lines << QStringLiteral("  %1: %2.").arg(QString::fromUtf8(key), QString::fromUtf8(what));
  };
  group("Explore", explore);
  group("Study", study);
  group("Hear", hear);
  group("Files and the window", files);
  return lines.join(QLatin1Char('\n'));
}

}  // namespace vesk
