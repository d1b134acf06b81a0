#pragma once

#include "core/TopicExchange.h"

#include <QString>

// Why a file of topics cannot be imported, as the message box and the command line say it, in
// the given language; empty when nothing is wrong.
QString exchangeProblemText(const exchange::Problem& problem, int language);
