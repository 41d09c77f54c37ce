-- A weir whose crest stands 5 mm above the invert of the collection flume it
-- spills into has its drop: the least drop counts as enough.
-- level: 0
UPDATE tbl_rvldaten SET GEO_ZO1 = 98.805 WHERE bez = 'U3';
