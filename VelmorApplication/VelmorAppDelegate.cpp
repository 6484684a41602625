#include "VelmorAppDelegate.h"

#include "VelmorPreferences.h"

VelmorAppDelegate::VelmorAppDelegate(QObject* parent)
    : QObject(parent)
{
}

VelmorAppDelegate::~VelmorAppDelegate() = default;

void VelmorAppDelegate::applicationWillFinishLaunching()
{
    VelmorPreferences::initialize();
}

void VelmorAppDelegate::applicationDidFinishLaunching()
{
    emit didFinishLaunching();
}

void VelmorAppDelegate::showSuggestionAction()
{
}
