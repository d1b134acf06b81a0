#pragma once

#include <QStringList>

// The commands of ombrel-cli, each with the arguments after its name; kWrongArguments when they
// do not fit. main.cpp lists them with their usage lines.
namespace cli {

int check(const QStringList& arguments);
int exportTopics(const QStringList& arguments);
int importTopics(const QStringList& arguments);
int convert(const QStringList& arguments);
int scan(const QStringList& arguments);
int preview(const QStringList& arguments);
int diff(const QStringList& arguments);
int ports(const QStringList& arguments);
int send(const QStringList& arguments);
int receive(const QStringList& arguments);
int sendLibrary(const QStringList& arguments);

} // namespace cli
