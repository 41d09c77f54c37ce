-- A weir without the crest type T.
-- expect: H41
-- level: 2
UPDATE tbl_rvldaten SET HVE_T = NULL WHERE bez = 'U1';
