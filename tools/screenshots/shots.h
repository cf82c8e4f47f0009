#pragma once
// Offscreen pictures of the editor's windows on a generated sample game, for
// the README and the user guide. Each window's picture is one registered
// function; `tavrel-screenshots OUTDIR` runs them all (or those named).
#include <QString>

#include "app/editor_state.h"

class QWidget;

namespace tavrel::shots {

struct ShotContext {
  EditorState& state;  // started and read on the sample game
  QString gameDir;     // the sample game, a scratch copy the shot may change
  QString outDir;      // where the PNG files go
};

using ShotFunction = void (*)(ShotContext&);

struct ShotRegistrar {
  ShotRegistrar(const char* name, ShotFunction function);
};

// Lays `widget` out, shows it offscreen, lets pending timers and paints run
// for `settleMs`, and writes `outDir/file`. Returns false (with a message on
// stderr) when the picture cannot be written.
bool SaveShot(ShotContext& context, QWidget& widget, const QString& file, int settleMs = 200);
int Failures();  // pictures that could not be written so far

}  // namespace tavrel::shots

// TAVREL_SHOT(main_window) { ... uses `context` ... }
#define TAVREL_SHOT(name)                                                                            \
  static void TavrelShot_##name(::tavrel::shots::ShotContext& context);                              \
  static const ::tavrel::shots::ShotRegistrar TavrelShotRegistrar_##name(#name, &TavrelShot_##name); \
  static void TavrelShot_##name(::tavrel::shots::ShotContext& context)
