#pragma once
// The battle windows' own messages (damaged files, refused commands), from
// the numbered interface strings in the state's charset.
#include <QString>
#include <QStringList>
#include <span>

#include "app/battle_edit.h"
#include "app/editor_state.h"
#include "gamefiles/war_sta.h"

namespace tavrel::ui {

// What an opening of the battle editor reports about war.sta (`contents`
// as read, before its battles are taken) and the values of its battles
// outside their ranges; empty when the file was whole and every value fits.
QString WarStaReadMessage(const EditorState& state, const WarStaContents& contents,
                          std::span<const BattleValueProblem> problems);
QString WarStaUnreadableMessage(const EditorState& state, const std::string& error);

// Why cmdedit / cmdaddwar changed nothing.
QString FieldErrorMessage(const EditorState& state, const BattleFieldError& error);
QString OnlyBattleLeftMessage(const EditorState& state);
QString SaveFailedMessage(const EditorState& state, const std::string& error);

// The battle map view's report of what it could not show; one line each.
QString MapNumberNotNumberMessage(const EditorState& state, const QString& text);
QString MapNumberOutOfRangeMessage(const EditorState& state, int m);
QString BattlefieldUnreadableMessage(const EditorState& state, int m, const std::string& error);
QString BattlefieldShortMessage(const EditorState& state, int m, size_t missingBytes);
QString TilesUnreadableMessage(const EditorState& state, const std::string& error);
QString GroundMissingMessage(const EditorState& state, int squares);
QString MarkerMissingMessage(const EditorState& state, const QString& indexName);

}  // namespace tavrel::ui
