-- A weir whose crest lies at the invert below it.
-- expect: G52
-- level: 2
UPDATE tbl_rvldaten SET GEO_ZO1 = 98.8 WHERE bez = 'U3';
