#pragma once
// The interface of the class that the test plug-in brings.
class IPlugInProbe {
public:
    virtual int Answer() const = 0;
    virtual ~IPlugInProbe() = default;
};
