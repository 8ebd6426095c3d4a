// The speech engines of this machine: Qt's text-to-speech plugins
// (speech-dispatcher, flite), each run on a thread of its own so that an
// engine that is slow to start, or hangs, never holds the window.
#pragma once

#include "SpeechEngine.h"

#include <QStringList>

#include <memory>

// The names of the installed engines, the everyday one first.
QStringList SpeechEngineNames();

// The engine of that name; an empty or unknown name gives the everyday one.
// Without any engine it is one that fails to start with NoVoiceMessage.
std::unique_ptr<TSpeechEngine> CreateSpeechEngine(const QString &name);
