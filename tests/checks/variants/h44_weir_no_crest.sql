-- A weir without crest length.
-- expect: H44
-- level: 2
UPDATE tbl_rvldaten SET HVE_BU = 0, HVE_BO = 0 WHERE bez = 'U1';
