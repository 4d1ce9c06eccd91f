#pragma once

// While one of these lives and no assistive tool is listening, the widgets
// being made or shown get no accessible interface. Qt would make one for
// every caption, name, text and show notice and keep it for the widget's
// life, though nothing reads it then. Afterwards an interface is made when
// it is first asked for, as for any widget nobody has asked about yet.
// Scopes may nest; the outermost one ends the quiet.
class AccessibleOnDemand {
public:
    AccessibleOnDemand();
    ~AccessibleOnDemand();
    AccessibleOnDemand(const AccessibleOnDemand&) = delete;
    AccessibleOnDemand& operator=(const AccessibleOnDemand&) = delete;
};
