// The row of the result view that is bound to a result. The view owns its rows
// and implements this interface; the result list only writes a bound row's
// texts and picture, and unbinds and deletes it when the result leaves the view.
// Any of these calls may throw (the view may be tearing down); the list
// catches and ignores such errors because the result's own fields are set
// before the row is touched.
#pragma once

#include <string>

namespace trawler::results {

class ListItem {
 public:
  virtual ~ListItem() = default;

  virtual std::string Caption() const = 0;
  virtual void SetCaption(const std::string& text) = 0;

  // The text columns after the caption (URL, engines, date, relevance).
  virtual int ColumnCount() const = 0;
  virtual void AddColumn() = 0;  // appends an empty column
  virtual std::string Column(int index) const = 0;
  virtual void SetColumn(int index, const std::string& text) = 0;

  // The row's picture; the result's check state doubles as its index.
  virtual void SetImage(int image) = 0;

  // Drops the row's link back to its result.
  virtual void Unbind() = 0;
  // Removes the row from the view; the view may destroy this object, so the
  // caller never touches it afterwards.
  virtual void Delete() = 0;
};

}  // namespace trawler::results
