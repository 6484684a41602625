#pragma once

#include <QList>
#include <QVariantList>

#include <algorithm>
#include <functional>
#include <memory>
#include <iterator>

// List helpers of the framework. Qt's containers copy on write, so a plain copy of a list of
// values is already deep; only lists of shared pointers need their elements copied.
class ListExtensions
{
public:
    ListExtensions() = delete;

    template <typename T>
    static QList<T> deepCopy(const QList<T>& list)
    {
        QList<T> copy;
        copy.reserve(list.size());
        for (const T& element : list)
            copy.append(deepCopyOf(element));
        return copy;
    }

    // The first element, or an empty value (null pointer, invalid QVariant) for an empty list.
    template <typename T>
    static T firstObject(const QList<T>& list)
    {
        return list.isEmpty() ? T() : list.first();
    }

    // The propertyListRepresentation() of each element, in order; elements may be values or
    // non-null pointers (a work list of std::shared_ptr<PieceWork> gives a list of dictionaries).
    template <typename Container>
    static QVariantList propertyListRepresentation(const Container& list)
    {
        QVariantList representation;
        representation.reserve(static_cast<qsizetype>(std::size(list)));
        for (const auto& element : list)
            representation.append(QVariant::fromValue(representationOf(element)));
        return representation;
    }

    template <typename T>
    static void reverse(QList<T>& list)
    {
        std::reverse(list.begin(), list.end());
    }

    // Calls receiver.*operation(element) for each element in the container's own order (a list
    // in order, a set in its iteration order).
    template <typename Receiver, typename Operation, typename Container>
    static void performSelectorWithEach(Receiver& receiver, Operation operation, const Container& elements)
    {
        for (const auto& element : elements)
            std::invoke(operation, receiver, element);
    }

private:
    template <typename T>
    static T deepCopyOf(const T& element)
    {
        return element;
    }

    template <typename T>
    static std::shared_ptr<T> deepCopyOf(const std::shared_ptr<T>& element)
    {
        return element ? std::make_shared<T>(*element) : nullptr;
    }

    template <typename T>
    static QList<T> deepCopyOf(const QList<T>& element)
    {
        return deepCopy(element);
    }

    template <typename T>
    static auto representationOf(const T& element)
    {
        if constexpr (requires { element->propertyListRepresentation(); })
            return element->propertyListRepresentation();
        else
            return element.propertyListRepresentation();
    }
};
