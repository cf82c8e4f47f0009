// tavrel scenes DIR [--scene S]: every non-empty object of the scenes' tables
// with its place and its three events, one line per object.
#include <fmt/format.h>

#include <memory>
#include <optional>

#include "app/scene_objects.h"
#include "cli/command_registry.h"
#include "cli/command_support.h"

namespace tavrel::cli {
namespace {

void PrintScene(const EditorState& state, int32_t scene) {
  const SceneTable& table = state.game.objects.scenes[size_t(scene)];
  const std::string heading = SceneCaption(state.game.names, scene);
  if (!table.valid) {
    Say(state, Str::SceneDamagedTable, heading, table.damaged.size());
    return;
  }
  const std::vector<int32_t> objects = SceneObjectNumbers(state.game.objects, scene);
  Say(state, Str::SceneObjectCount, heading, objects.size());
  for (int32_t o : objects) {
    const SceneObject& object = table.objects[size_t(o)];
    Say(state, Str::SceneObjectLine, o, object.words[kObjectX], object.words[kObjectY], object.event(Trigger::Action),
        object.event(Trigger::Item), object.event(Trigger::Pass));
  }
}

int RunScenes(const CommonOptions& common, const std::string& dir, std::optional<int> scene) {
  EditorState state;
  if (!LoadGame(state, common, dir)) return 1;
  const SceneObjectTables& tables = state.game.objects;
  if (!tables.present) {
    Complain(state, Str::NoSceneObjectTables);
    return 1;
  }
  if (scene) {
    if (*scene < 0 || *scene >= tables.sceneCount()) {
      Complain(state, Str::SceneNotInTables, *scene, tables.sceneCount() - 1);
      return 1;
    }
    PrintScene(state, *scene);
    return 0;
  }
  for (int32_t s = 0; s < tables.sceneCount(); ++s) PrintScene(state, s);
  return 0;
}

const RegisterCommand kRegister([](CLI::App& app, const CommonOptions& common, int& exitCode) {
  struct Args {
    std::string dir;
    std::optional<int> scene;
  };
  auto args = std::make_shared<Args>();
  CLI::App* sub = app.add_subcommand("scenes", "Print the objects of the scenes and the events they start");
  sub->add_option("DIR", args->dir, "game directory")->required();
  sub->add_option("--scene", args->scene, "only this scene");
  sub->callback([&common, &exitCode, args] { exitCode = RunScenes(common, args->dir, args->scene); });
});

}  // namespace
}  // namespace tavrel::cli
