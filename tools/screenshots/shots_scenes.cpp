// The scene window on the sample game's scene 5: its objects, the events
// they start with their first lines, and the tile previews.
#include <QTableWidget>

#include "shots.h"
#include "ui/scenes/scene_window.h"

TAVREL_SHOT(scene_objects) {
  tavrel::ui::SceneWindow window(context.state, nullptr, 5, 12);
  window.resize(960, 460);
  tavrel::shots::SaveShot(context, window, "scene_objects.png");
}
