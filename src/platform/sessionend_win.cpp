#include "sessionend.h"

SessionEndWatch::SessionEndWatch(QObject *parent)
    : QObject(parent)
{
}

SessionEndWatch::~SessionEndWatch() = default;

bool SessionEndWatch::isActive() const
{
    return false;
}

void SessionEndWatch::deliverPending()
{
}
